object FormViewMessage: TFormViewMessage
  Left = 200
  Top = 100
  BorderStyle = bsSingle
  Caption = 'Nachricht betrachten'
  ClientHeight = 520
  ClientWidth = 640
  Position = poScreenCenter
  OnClose = FormClose
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object GroupHeader: TGroupBox
    Left = 8
    Top = 4
    Width = 400
    Height = 148
    Caption = ' Nachrichten-Header '
    TabOrder = 0
    object lbxHeader: TListBox
      Left = 8
      Top = 18
      Width = 384
      Height = 122
      ItemHeight = 13
      PopupMenu = HeaderPopup
      TabOrder = 0
    end
  end
  object GroupMime: TGroupBox
    Left = 416
    Top = 4
    Width = 216
    Height = 148
    Caption = ' MIME-Teile '
    TabOrder = 1
    object tvMimeParts: TTreeView
      Left = 8
      Top = 18
      Width = 200
      Height = 122
      Indent = 19
      PopupMenu = MimePopup
      ReadOnly = True
      ShowRoot = False
      TabOrder = 0
    end
  end
  object PageControl: TPageControl
    Left = 8
    Top = 160
    Width = 624
    Height = 318
    ActivePage = TabHtml
    TabOrder = 2
    object TabHtml: TTabSheet
      Caption = 'HTML'
      object IpHtmlPanel: TIpHtmlPanel
        Left = 0
        Top = 0
        Width = 616
        Height = 290
        Align = alClient
        DataProvider = IpHtmlDataProvider1
        FixedTypeface = 'Courier New'
        FlagErrors = False
      end
    end
    object TabSource: TTabSheet
      Caption = 'Source'
      object RawMemo: TMemo
        Left = 0
        Top = 0
        Width = 616
        Height = 290
        Align = alClient
        ScrollBars = ssBoth
        TabOrder = 0
        WordWrap = False
      end
    end
  end
  object ButtonClose: TButton
    Left = 552
    Top = 486
    Width = 80
    Height = 25
    Caption = '&Beenden'
    Default = True
    TabOrder = 3
    OnClick = ButtonCloseClick
  end
  object FormState: TOvcFormState
    Section = 'TFormViewMessage'
  end
  object IpHtmlDataProvider1: TIpHtmlDataProvider
  end
  object HeaderPopup: TPopupMenu
    object ItemMessageSource: TMenuItem
      Caption = '&Source anzeigen'
      OnClick = MessageSourceClick
    end
  end
  object MimePopup: TPopupMenu
    object ItemSave: TMenuItem
      Caption = '&Speichern...'
      OnClick = SaveClick
    end
    object ItemOpen: TMenuItem
      Caption = '&'#214'ffnen...'
      OnClick = OpenClick
    end
    object ItemPartSource: TMenuItem
      Caption = '&Source zeigen'
      Default = True
      OnClick = PartSourceClick
    end
  end
end
