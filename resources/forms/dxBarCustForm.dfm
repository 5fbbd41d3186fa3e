object dxBarCustomizingForm: TdxBarCustomizingForm
  Left = 200
  Top = 120
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'Customize'
  ClientHeight = 322
  ClientWidth = 362
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  object Panel1: TPanel
    Left = 0
    Top = 286
    Width = 362
    Height = 36
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 1
    object PanelCloseMargin: TPanel
      Left = 354
      Top = 0
      Width = 8
      Height = 36
      Align = alRight
      BevelOuter = bvNone
      TabOrder = 2
    end
    object BClose: TButton
      Left = 282
      Top = 6
      Width = 72
      Height = 23
      Cancel = True
      Caption = 'Close'
      Default = True
      ModalResult = 1
      TabOrder = 1
    end
    object BHelp: TBitBtn
      Left = 8
      Top = 6
      Width = 24
      Height = 23
      TabOrder = 0
      Visible = False
    end
  end
  object PageControl: TPageControl
    Left = 8
    Top = 8
    Width = 346
    Height = 276
    ActivePage = TabSheet1
    TabOrder = 0
    object TabSheet1: TTabSheet
      Caption = ' Toolbars '
      object LabelToobars: TLabel
        Left = 8
        Top = 6
        Width = 48
        Height = 13
        Caption = 'Toolb&ars:'
      end
      object BarsListBoxPlace: TListBox
        Left = 8
        Top = 22
        Width = 216
        Height = 218
        TabOrder = 0
      end
      object BBarNew: TButton
        Left = 232
        Top = 22
        Width = 98
        Height = 23
        Caption = '&New...'
        TabOrder = 1
      end
      object BBarRename: TButton
        Left = 232
        Top = 51
        Width = 98
        Height = 23
        Caption = 'R&ename...'
        TabOrder = 2
      end
      object BBarDelete: TButton
        Left = 232
        Top = 80
        Width = 98
        Height = 23
        Caption = '&Delete'
        TabOrder = 3
      end
      object BBarReset: TButton
        Left = 232
        Top = 109
        Width = 98
        Height = 23
        Caption = '&Reset...'
        TabOrder = 4
      end
    end
    object TabSheet2: TTabSheet
      Caption = ' Commands '
      object LabelCategories: TLabel
        Left = 8
        Top = 6
        Width = 56
        Height = 13
        Caption = 'Cate&gories:'
      end
      object LabelCommands: TLabel
        Left = 128
        Top = 6
        Width = 56
        Height = 13
        Caption = 'Comman&ds:'
      end
      object LabelDescription: TLabel
        Left = 8
        Top = 190
        Width = 60
        Height = 13
        Caption = 'Description  '
      end
      object BevelDescription: TBevel
        Left = 68
        Top = 197
        Width = 262
        Height = 2
        Shape = bsTopLine
      end
      object DescriptionLabel: TLabel
        Left = 8
        Top = 206
        Width = 322
        Height = 40
        AutoSize = False
        WordWrap = True
      end
      object CategoriesPopupButtonPlace: TPanel
        Left = 70
        Top = 2
        Width = 50
        Height = 18
        BevelOuter = bvNone
        TabOrder = 2
        Visible = False
      end
      object CommandsPopupButtonPlace: TPanel
        Left = 280
        Top = 2
        Width = 50
        Height = 18
        BevelOuter = bvNone
        TabOrder = 3
        Visible = False
      end
      object LCategories: TListBox
        Left = 8
        Top = 22
        Width = 112
        Height = 160
        TabOrder = 0
      end
      object LCommandsPlace: TListBox
        Left = 128
        Top = 22
        Width = 202
        Height = 160
        TabOrder = 1
      end
    end
    object TabSheet3: TTabSheet
      Caption = ' Options '
      object StandardOptionsPanel: TPanel
        Left = 0
        Top = 0
        Width = 338
        Height = 248
        Align = alClient
        BevelOuter = bvNone
        TabOrder = 0
        object LabelMenuAnimations: TLabel
          Left = 8
          Top = 82
          Width = 84
          Height = 13
          Caption = '&Menu animations:'
          FocusControl = ComboBoxMenuAnimations
        end
        object CBLargeIcons: TCheckBox
          Left = 8
          Top = 8
          Width = 320
          Height = 17
          Caption = '&Large icons'
          TabOrder = 0
        end
        object CBHint1: TCheckBox
          Left = 8
          Top = 30
          Width = 320
          Height = 17
          Caption = 'Show Tool&Tips on toolbars'
          TabOrder = 1
        end
        object CBHint2: TCheckBox
          Left = 24
          Top = 52
          Width = 304
          Height = 17
          Caption = 'Show s&hortcut keys in ToolTips'
          TabOrder = 2
        end
        object ComboBoxMenuAnimations: TComboBox
          Left = 102
          Top = 78
          Width = 110
          Height = 21
          Style = csDropDownList
          TabOrder = 3
        end
      end
      object EnhancedOptionsPanel: TPanel
        Left = 0
        Top = 0
        Width = 338
        Height = 248
        Align = alClient
        BevelOuter = bvNone
        TabOrder = 1
        object Label3: TLabel
          Left = 8
          Top = 6
          Width = 160
          Height = 13
          Caption = 'Personalized Menus and Toolbars  '
        end
        object BevelPersonalized: TBevel
          Left = 168
          Top = 13
          Width = 162
          Height = 2
          Shape = bsTopLine
        end
        object Label2: TLabel
          Left = 8
          Top = 110
          Width = 30
          Height = 13
          Caption = 'Other  '
        end
        object BevelOther: TBevel
          Left = 38
          Top = 117
          Width = 292
          Height = 2
          Shape = bsTopLine
        end
        object Label1: TLabel
          Left = 16
          Top = 200
          Width = 84
          Height = 13
          Caption = '&Menu animations:'
          FocusControl = ComboBoxMenuAnimationsEx
        end
        object CBMenusShowRecentItemsFirst: TCheckBox
          Left = 16
          Top = 26
          Width = 312
          Height = 17
          Caption = 'Me&nus show recently used commands first'
          TabOrder = 0
        end
        object CBShowFullMenusAfterDelay: TCheckBox
          Left = 32
          Top = 48
          Width = 296
          Height = 17
          Caption = 'Show f&ull menus after a short delay'
          TabOrder = 1
        end
        object BResetUsageData: TButton
          Left = 16
          Top = 74
          Width = 130
          Height = 23
          Caption = '&Reset my usage data'
          TabOrder = 2
        end
        object CBLargeIconsEx: TCheckBox
          Left = 16
          Top = 130
          Width = 312
          Height = 17
          Caption = '&Large icons'
          TabOrder = 3
        end
        object CBHint1Ex: TCheckBox
          Left = 16
          Top = 152
          Width = 312
          Height = 17
          Caption = 'Show Tool&Tips on toolbars'
          TabOrder = 4
        end
        object CBHint2Ex: TCheckBox
          Left = 32
          Top = 174
          Width = 296
          Height = 17
          Caption = 'Show s&hortcut keys in ToolTips'
          TabOrder = 5
        end
        object ComboBoxMenuAnimationsEx: TComboBox
          Left = 110
          Top = 196
          Width = 110
          Height = 21
          Style = csDropDownList
          TabOrder = 6
        end
      end
    end
    object TabSheet4: TTabSheet
      Caption = ' All commands '
      object LAllCommands: TListBox
        Left = 8
        Top = 8
        Width = 322
        Height = 206
        TabOrder = 0
      end
      object CBShowCommandsWithShortCut: TCheckBox
        Left = 8
        Top = 222
        Width = 322
        Height = 17
        Caption = 'Show commands that have shortcuts only'
        Checked = True
        State = cbChecked
        TabOrder = 1
      end
    end
    object TabSheet5: TTabSheet
      Caption = ' Groups '
      object lbGroups: TListBox
        Left = 8
        Top = 8
        Width = 120
        Height = 200
        TabOrder = 0
      end
      object btnGroupAdd: TButton
        Left = 8
        Top = 214
        Width = 58
        Height = 23
        Caption = 'Add'
        TabOrder = 1
      end
      object btnGroupDelete: TButton
        Left = 70
        Top = 214
        Width = 58
        Height = 23
        Caption = 'Delete'
        TabOrder = 2
      end
      object lbGroupItems: TListBox
        Left = 136
        Top = 8
        Width = 166
        Height = 200
        MultiSelect = True
        TabOrder = 3
      end
      object btnGroupItemAdd: TButton
        Left = 136
        Top = 214
        Width = 80
        Height = 23
        Caption = 'Add...'
        TabOrder = 4
      end
      object btnGroupItemDelete: TButton
        Left = 222
        Top = 214
        Width = 80
        Height = 23
        Caption = 'Delete'
        TabOrder = 5
      end
      object btnMoveUp: TButton
        Left = 308
        Top = 70
        Width = 24
        Height = 23
        Caption = '^'
        TabOrder = 6
      end
      object btnMoveDown: TButton
        Left = 308
        Top = 100
        Width = 24
        Height = 23
        Caption = 'v'
        TabOrder = 7
      end
    end
  end
end
