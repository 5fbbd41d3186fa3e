object dxBarNameEd: TdxBarNameEd
  Left = 260
  Top = 200
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'Custom '
  ClientHeight = 82
  ClientWidth = 284
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  PixelsPerInch = 96
  object LName: TLabel
    Left = 8
    Top = 8
    Width = 76
    Height = 13
    Caption = '&Toolbar name:'
    FocusControl = EName
  end
  object EName: TEdit
    Left = 8
    Top = 24
    Width = 268
    Height = 21
    TabOrder = 0
    OnChange = ENameChange
  end
  object BOK: TButton
    Left = 120
    Top = 52
    Width = 75
    Height = 23
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
  end
  object BCancel: TButton
    Left = 201
    Top = 52
    Width = 75
    Height = 23
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 2
  end
end
