object dxBarItemAddEditor: TdxBarItemAddEditor
  Left = 260
  Top = 200
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'Add New VizirizEvev Item'
  ClientHeight = 146
  ClientWidth = 282
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 96
  object Label1: TLabel
    Left = 8
    Top = 12
    Width = 31
    Height = 13
    Caption = 'Name:'
    FocusControl = Edit1
  end
  object Label2: TLabel
    Left = 8
    Top = 38
    Width = 39
    Height = 13
    Caption = 'Caption:'
    FocusControl = Edit2
  end
  object Label3: TLabel
    Left = 8
    Top = 64
    Width = 27
    Height = 13
    Caption = 'Type:'
    FocusControl = ComboBox1
  end
  object Label4: TLabel
    Left = 8
    Top = 90
    Width = 45
    Height = 13
    Caption = 'Category:'
    FocusControl = ComboBox2
  end
  object Edit1: TEdit
    Left = 72
    Top = 8
    Width = 202
    Height = 21
    TabOrder = 0
  end
  object Edit2: TEdit
    Left = 72
    Top = 34
    Width = 202
    Height = 21
    TabOrder = 1
    Text = 'New Item'
  end
  object ComboBox1: TComboBox
    Left = 72
    Top = 60
    Width = 202
    Height = 21
    Style = csDropDownList
    DropDownCount = 100
    TabOrder = 2
    OnChange = ComboBox1Change
  end
  object ComboBox2: TComboBox
    Left = 72
    Top = 86
    Width = 202
    Height = 21
    Style = csDropDownList
    TabOrder = 3
  end
  object BOk: TButton
    Left = 118
    Top = 116
    Width = 75
    Height = 23
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 4
  end
  object BCancel: TButton
    Left = 199
    Top = 116
    Width = 75
    Height = 23
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 5
  end
end
