object FormMain: TFormMain
  Left = 200
  Top = 120
  BorderIcons = [biSystemMenu, biMinimize]
  BorderStyle = bsSingle
  Caption = 'Orvalin Kestro V'
  ClientHeight = 456
  ClientWidth = 565
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  OnShortCut = FormShortCut
  OnShow = FormShow
  PixelsPerInch = 96
  object Panel1: TPanel
    Left = 0
    Top = 49
    Width = 565
    Height = 388
    Align = alClient
    BevelOuter = bvNone
    BorderWidth = 4
    TabOrder = 0
    object GroupBox1: TGroupBox
      Left = 4
      Top = 4
      Width = 557
      Height = 380
      Align = alClient
      Caption = ' Status '
      TabOrder = 0
      object Label1: TLabel
        Left = 10
        Top = 146
        Width = 160
        Height = 13
        Caption = 'Eingegangene POP3-Nachrichten:'
      end
      object StatusView: TListView
        Left = 10
        Top = 18
        Width = 537
        Height = 122
        Columns = <
          item
            Caption = 'Thread'
            Width = 46
          end
          item
            Alignment = taCenter
            Caption = 'Typ'
            Width = 46
          end
          item
            Alignment = taRightJustify
            Caption = 'Bytes    '
            Width = 60
          end
          item
            Caption = 'Status'
            Width = 361
          end>
        PopupMenu = ThreadsPopup
        ReadOnly = True
        RowSelect = True
        TabOrder = 0
        ViewStyle = vsReport
      end
      object LogList: TListBox
        Left = 10
        Top = 164
        Width = 537
        Height = 206
        ItemHeight = 34
        PopupMenu = MailPopup
        Style = lbOwnerDrawFixed
        TabOrder = 1
        OnContextPopup = LogListContextPopup
        OnDblClick = LogListDblClick
        OnDrawItem = LogListDrawItem
      end
    end
  end
  object StatusBar: TStatusBar
    Left = 0
    Top = 437
    Width = 565
    Height = 19
    Panels = <
      item
        Width = 263
      end
      item
        Width = 75
      end
      item
        Width = 75
      end
      item
        Width = 75
      end
      item
        Width = 75
      end>
    SizeGrip = False
  end
  object VersionInfo: TStVersionInfo
  end
  object TrayIcon: TStTrayIcon
    CloseToTray = False
    Hint = 'Orvalin Kestro'
    MinimizeToTray = True
  end
  object HTMLHint1: THTMLHint
  end
  object StExceptionLog: TStExceptionLog
    FileName = 'kestro.rip'
  end
  object O32XMLFileStore: TO32XMLFileStore
    UseExeDir = True
    XMLFileName = 'kestro.xml'
  end
  object OvcFormState: TOvcFormState
    Options = [fsState, fsPosition, fsDefaultMonitor]
    Section = 'TFormMain'
    Storage = O32XMLFileStore
  end
  object DropFiles: TStDropFiles
    OnDropFiles = DropFilesDropFiles
  end
  object Timer1: TTimer
    Interval = 300
  end
  object ImageList1: TImageList
  end
  object dxBarManager: TdxBarManager
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'Tahoma'
    Font.Style = []
    Bars = <
      item
        Caption = 'Main Menu'
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsTop
        FloatLeft = 276
        FloatTop = 232
        FloatClientWidth = 23
        FloatClientHeight = 22
        IsMainMenu = True
        ItemLinks = <
          item
            Item = dxBarSubItem1
            Visible = True
          end
          item
            Item = dxBarSubItem2
            Visible = True
          end
          item
            Item = dxBarSubItem3
            Visible = True
          end
          item
            Item = dxBarSubItem4
            Visible = True
          end>
        MultiLine = True
        Name = 'Main Menu'
        OneOnRow = True
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = True
      end
      item
        Caption = 'Toolbar'
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 23
        DockingStyle = dsTop
        FloatLeft = 276
        FloatTop = 232
        FloatClientWidth = 23
        FloatClientHeight = 22
        ItemLinks = <
          item
            Item = LoadConfig
            Visible = True
          end
          item
            Item = Editieren1
            Visible = True
          end
          item
            BeginGroup = True
            Item = BarButtonStart
            Visible = True
          end
          item
            Item = BarButtonMultiStart
            Visible = True
          end
          item
            BeginGroup = True
            Item = BarButtonOrderNews
            Visible = True
          end
          item
            BeginGroup = True
            Item = BarButtonExit
            Visible = True
          end>
        Name = 'Toolbar'
        OneOnRow = True
        Row = 1
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end>
    Categories.Strings = (
      'Konfiguration'
      'Default'
      'Kestro'
      'Tools'
      'Hilfe'
      'Menus')
    Categories.ItemsVisibles = (
      2
      2
      2
      2
      2
      2)
    Categories.Visibles = (
      True
      True
      True
      True
      True
      True)
    MenusShowRecentItemsFirst = False
    MostRecentItemsPercents = 100
    RegistryPath = '\Software\Orvalin\Kestro\Bars'
    ShowShortCutInHint = True
    StoreInRegistry = True
    Style = bmsFlat
    UseFullReset = True
    UseSystemFont = True
    DockControlHeights = (
      0
      0
      49
      0)
    HotImages = ImageList1
    Images = ImageList1
    object Neu1: TdxBarButton
      Caption = '&Neu'
      Category = 0
      Visible = ivAlways
      ImageIndex = 0
      OnClick = Neu1Click
    end
    object LoadConfig: TdxBarButton
      Caption = '&Laden...'
      Category = 0
      Hint = 'Laden'
      Visible = ivAlways
      ImageIndex = 1
      OnClick = LoadConfigClick
    end
    object Editieren1: TdxBarButton
      Caption = '&Konfiguration...'
      Category = 0
      Hint = 'Konfiguration bearbeiten'
      Visible = ivAlways
      ImageIndex = 2
      ShortCut = 114
      OnClick = Editieren1Click
    end
    object BarButtonOrderNews: TdxBarButton
      Caption = 'News &bestellen...'
      Category = 0
      Hint = 'News bestellen'
      Visible = ivAlways
      ImageIndex = 3
      OnClick = BarButtonOrderNewsClick
    end
    object SaveConfig: TdxBarButton
      Caption = '&Speichern'
      Category = 0
      Visible = ivAlways
      ImageIndex = 4
      OnClick = SaveConfigClick
    end
    object SaveConfigAs: TdxBarButton
      Caption = 'Speichern &unter...'
      Category = 0
      Visible = ivAlways
      OnClick = SaveConfigAsClick
    end
    object BarButtonStart: TdxBarButton
      Caption = '&Start'
      Category = 3
      Hint = 'Start'
      Visible = ivAlways
      ImageIndex = 5
      ShortCut = 118
      OnClick = BarButtonStartClick
    end
    object BarButtonMultiStart: TdxBarButton
      Caption = '&MultiStart'
      Category = 3
      Hint = 'MultiStart'
      Visible = ivAlways
      ImageIndex = 6
      ShortCut = 119
      OnClick = BarButtonMultiStartClick
    end
    object Telnet1: TdxBarButton
      Caption = '&Telnet'
      Category = 3
      Visible = ivAlways
      ImageIndex = 7
      OnClick = Telnet1Click
    end
    object ButtonOptionen: TdxBarButton
      Caption = '&Optionen...'
      Category = 2
      Hint = 'Optionen'
      Visible = ivAlways
      ImageIndex = 8
      ShortCut = 116
      OnClick = ButtonOptionenClick
    end
    object dxBarManagerxBarButton1: TdxBarButton
      Caption = '&Wizard...'
      Category = 2
      Hint = 'Wizard'
      Visible = ivAlways
      ImageIndex = 9
      ShortCut = 117
      OnClick = dxBarManagerxBarButton1Click
    end
    object BarButtonExit: TdxBarButton
      Caption = '&Ende'
      Category = 2
      Hint = 'Ende'
      Visible = ivAlways
      ImageIndex = 10
      ShortCut = 32856
      OnClick = BarButtonExitClick
    end
    object ber1: TdxBarButton
      Caption = #220'ber...'
      Category = 4
      Hint = #220'ber'
      Visible = ivAlways
      ImageIndex = 11
      OnClick = ber1Click
    end
    object dxBarSubItem1: TdxBarSubItem
      Caption = 'K&estro'
      Category = 5
      Visible = ivAlways
      ItemLinks = <
        item
          Item = ButtonOptionen
          Visible = True
        end
        item
          Item = dxBarManagerxBarButton1
          Visible = True
        end
        item
          BeginGroup = True
          Item = BarButtonExit
          Visible = True
        end>
    end
    object dxBarSubItem2: TdxBarSubItem
      Caption = '&Konfiguration'
      Category = 5
      Visible = ivAlways
      ItemLinks = <
        item
          Item = Neu1
          Visible = True
        end
        item
          Item = LoadConfig
          Visible = True
        end
        item
          Item = Editieren1
          Visible = True
        end
        item
          Item = BarButtonOrderNews
          Visible = True
        end
        item
          Item = SaveConfig
          Visible = True
        end
        item
          Item = SaveConfigAs
          Visible = True
        end>
    end
    object dxBarSubItem3: TdxBarSubItem
      Caption = '&Online'
      Category = 5
      Visible = ivAlways
      ItemLinks = <
        item
          Item = BarButtonStart
          Visible = True
        end
        item
          Item = BarButtonMultiStart
          Visible = True
        end
        item
          BeginGroup = True
          Item = Telnet1
          Visible = True
        end>
    end
    object dxBarSubItem4: TdxBarSubItem
      Caption = '&Hilfe'
      Category = 5
      Visible = ivAlways
      ItemLinks = <
        item
          Item = ber1
          Visible = True
        end>
    end
  end
  object MailPopup: TPopupMenu
    OnPopup = MailPopupPopup
    object MsgLesen: TMenuItem
      Caption = '&Lesen...'
      Default = True
      OnClick = LogListDblClick
    end
    object MsgLoeschen: TMenuItem
      Caption = '&L'#246'schen...'
      OnClick = MsgLoeschenClick
    end
  end
  object ThreadsPopup: TPopupMenu
    object ButtonEndTasksSoft: TMenuItem
      Caption = 'Tasks &sicher abbrechen'
      ShortCut = 16502
      OnClick = EndTasksSoftClick
    end
    object ButtonEndTasksHard: TMenuItem
      Caption = 'Tasks &hart abbrechen'
      ShortCut = 16503
      OnClick = EndTasksHardClick
    end
  end
end
