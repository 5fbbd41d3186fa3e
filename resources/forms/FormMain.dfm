object FormMain: TFormMain
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
    Style = bmsFlat
    UseFullReset = True
    UseSystemFont = True
    DockControlHeights = (
      0
      0
      49
      0)
    object Neu1: TdxBarButton
      Caption = '&Neu'
      Category = 0
      Visible = ivAlways
      ImageIndex = 0
    end
    object LoadConfig: TdxBarButton
      Caption = '&Laden...'
      Category = 0
      Hint = 'Laden'
      Visible = ivAlways
      ImageIndex = 1
    end
    object Editieren1: TdxBarButton
      Caption = '&Konfiguration...'
      Category = 0
      Hint = 'Konfiguration bearbeiten'
      Visible = ivAlways
      ImageIndex = 2
      ShortCut = 114
    end
    object BarButtonOrderNews: TdxBarButton
      Caption = 'News &bestellen...'
      Category = 0
      Hint = 'News bestellen'
      Visible = ivAlways
      ImageIndex = 3
    end
    object SaveConfig: TdxBarButton
      Caption = '&Speichern'
      Category = 0
      Visible = ivAlways
      ImageIndex = 4
    end
    object SaveConfigAs: TdxBarButton
      Caption = 'Speichern &unter...'
      Category = 0
      Visible = ivAlways
    end
    object BarButtonStart: TdxBarButton
      Caption = '&Start'
      Category = 3
      Hint = 'Start'
      Visible = ivAlways
      ImageIndex = 5
      ShortCut = 118
    end
    object BarButtonMultiStart: TdxBarButton
      Caption = '&MultiStart'
      Category = 3
      Hint = 'MultiStart'
      Visible = ivAlways
      ImageIndex = 6
      ShortCut = 119
    end
    object Telnet1: TdxBarButton
      Caption = '&Telnet'
      Category = 3
      Visible = ivAlways
      ImageIndex = 7
    end
    object ButtonOptionen: TdxBarButton
      Caption = '&Optionen...'
      Category = 2
      Hint = 'Optionen'
      Visible = ivAlways
      ImageIndex = 8
      ShortCut = 116
    end
    object dxBarManagerxBarButton1: TdxBarButton
      Caption = '&Wizard...'
      Category = 2
      Hint = 'Wizard'
      Visible = ivAlways
      ImageIndex = 9
      ShortCut = 117
    end
    object BarButtonExit: TdxBarButton
      Caption = '&Ende'
      Category = 2
      Hint = 'Ende'
      Visible = ivAlways
      ImageIndex = 10
      ShortCut = 32856
    end
    object ber1: TdxBarButton
      Caption = #220'ber...'
      Category = 4
      Hint = #220'ber'
      Visible = ivAlways
      ImageIndex = 11
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
end
