object frmAddGroupItems: TfrmAddGroupItems
  Left = 260
  Top = 160
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSizeToolWin
  Caption = 'Add Group Items'
  ClientHeight = 300
  ClientWidth = 300
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  object lbGroupItems: TdxBarGroupItemsListBox
    Left = 8
    Top = 8
    Width = 284
    Height = 254
    Anchors = [akLeft, akTop, akRight, akBottom]
    MultiSelect = True
    Style = lbOwnerDrawFixed
    TabOrder = 0
  end
  object btnOk: TButton
    Left = 136
    Top = 270
    Width = 75
    Height = 23
    Anchors = [akRight, akBottom]
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
  end
  object btnCancel: TButton
    Left = 217
    Top = 270
    Width = 75
    Height = 23
    Anchors = [akRight, akBottom]
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 2
  end
end
