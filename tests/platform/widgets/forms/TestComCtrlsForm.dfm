object ComCtrlsTestForm: TComCtrlsTestForm
  Left = 60
  Top = 40
  BorderStyle = bsDialog
  Caption = 'Allgemeine Steuerelemente'
  ClientHeight = 380
  ClientWidth = 560
  OldCreateOrder = False
  Position = poDesigned
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object PageControl1: TPageControl
    Left = 8
    Top = 8
    Width = 544
    Height = 364
    ActivePage = SheetStatus
    TabOrder = 0
    OnChange = PageControl1Change
    object SheetStatus: TTabSheet
      Caption = 'Status'
      object Label1: TLabel
        Left = 8
        Top = 8
        Width = 80
        Height = 13
        Caption = 'Laufende Tasks:'
      end
      object StatusView: TListView
        Left = 8
        Top = 26
        Width = 518
        Height = 270
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
        ReadOnly = True
        RowSelect = True
        TabOrder = 0
        ViewStyle = vsReport
      end
      object StatusPanel: TPanel
        Left = 0
        Top = 312
        Width = 536
        Height = 24
        Align = alBottom
        BevelOuter = bvLowered
        Caption = 'Bereit'
        TabOrder = 1
      end
    end
    object SheetFiles: TTabSheet
      Caption = 'Accounts'
      ImageIndex = 1
      object FileView: TListView
        Left = 8
        Top = 8
        Width = 518
        Height = 300
        Columns = <
          item
            Caption = 'Name'
            Width = 120
          end
          item
            Caption = 'Typ'
            Width = 70
          end
          item
            AutoSize = True
            Caption = 'Dateiname'
            MinWidth = 100
          end>
        LargeImages = ImageList32
        MultiSelect = True
        ReadOnly = True
        SmallImages = ImageList16
        SortType = stText
        TabOrder = 0
        ViewStyle = vsReport
        OnDblClick = FileViewDblClick
        OnSelectItem = FileViewSelectItem
      end
    end
    object SheetGroups: TTabSheet
      Caption = 'Newsgroups'
      object Tree: TTreeView
        Left = 0
        Top = 0
        Width = 536
        Height = 336
        Align = alClient
        HotTrack = True
        Images = TreeImages
        Indent = 19
        ReadOnly = True
        ShowRoot = False
        StateImages = StateImages
        TabOrder = 0
        OnDblClick = TreeDblClick
        OnDeletion = TreeDeletion
      end
    end
    object SheetViewer: TTabSheet
      Caption = 'Betrachter'
      object ViewerTabs: TTabControl
        Left = 0
        Top = 0
        Width = 536
        Height = 336
        Align = alClient
        TabOrder = 0
        Tabs.Strings = (
          'HTML'
          'Source')
        TabIndex = 0
        OnChange = ViewerTabsChange
        object ViewerPanel: TPanel
          Left = 4
          Top = 24
          Width = 528
          Height = 308
          Align = alClient
          BevelOuter = bvLowered
          Caption = 'HTML'
          Color = clWindow
          TabOrder = 0
        end
      end
    end
    object SheetDesign: TTabSheet
      Caption = 'Entwurf'
      TabVisible = False
    end
  end
  object ImageList32: TTestImageList
    Height = 32
    Width = 32
  end
  object ImageList16: TTestImageList
    Height = 16
    Width = 16
  end
  object TreeImages: TTestImageList
    Height = 16
    Width = 16
  end
  object StateImages: TTestImageList
    Height = 16
    Width = 16
  end
end
