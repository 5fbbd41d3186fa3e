object FormMultiConfig: TFormMultiConfig
  Left = 220
  Top = 160
  BorderStyle = bsDialog
  Caption = 'Mehrere Accounts starten'
  ClientHeight = 300
  ClientWidth = 460
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object FileView: TListView
    Left = 8
    Top = 8
    Width = 444
    Height = 248
    Columns = <
      item
        Caption = 'Name'
        Width = 110
      end
      item
        Caption = 'Typ'
        Width = 70
      end
      item
        Caption = 'Dateiname'
        Width = 240
      end>
    LargeImages = ImageListLarge
    MultiSelect = True
    ReadOnly = True
    SmallImages = ImageListSmall
    SortType = stText
    TabOrder = 0
    ViewStyle = vsReport
  end
  object ButtonView: TButton
    Left = 8
    Top = 266
    Width = 110
    Height = 25
    Caption = 'Ansicht wechseln'
    TabOrder = 1
    OnClick = ButtonViewClick
  end
  object ButtonOk: TButton
    Left = 288
    Top = 266
    Width = 80
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
    OnClick = ButtonOkClick
  end
  object ButtonCancel: TButton
    Left = 372
    Top = 266
    Width = 80
    Height = 25
    Cancel = True
    Caption = 'Abbruch'
    ModalResult = 2
    TabOrder = 3
  end
  object FormState: TOvcFormState
    Section = 'TFormMultiConfig'
  end
  object DropFiles: TStDropFiles
  end
  object ImageListSmall: TImageList
  end
  object ImageListLarge: TImageList
    Height = 32
    Width = 32
  end
end
