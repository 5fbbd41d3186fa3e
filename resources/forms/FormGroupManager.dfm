object FormGroupManager: TFormGroupManager
  Left = 220
  Top = 120
  Caption = 'Newsgroups bestellen'
  ClientHeight = 400
  ClientWidth = 460
  Position = poScreenCenter
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  PixelsPerInch = 96
  TextHeight = 13
  object Tree: TTreeView
    Left = 0
    Top = 0
    Width = 460
    Height = 356
    Align = alClient
    HotTrack = True
    Images = ImageListTree
    Indent = 19
    PopupMenu = TreePopup
    ReadOnly = True
    ShowRoot = False
    StateImages = ImageListState
    TabOrder = 0
    OnContextPopup = TreeContextPopup
    OnDblClick = TreeDblClick
  end
  object BottomPanel: TPanel
    Left = 0
    Top = 356
    Width = 460
    Height = 44
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 1
    object LabelNewArticles: TLabel
      Left = 8
      Top = 14
      Width = 150
      Height = 13
      Caption = 'Artikel bei Neubestellungen'
    end
    object EditNewArticles: TEdit
      Left = 162
      Top = 10
      Width = 36
      Height = 21
      TabOrder = 0
    end
    object CBHeaderOnly: TCheckBox
      Left = 206
      Top = 12
      Width = 90
      Height = 17
      Caption = 'nur Header'
      TabOrder = 1
    end
    object ButtonOk: TButton
      Left = 304
      Top = 8
      Width = 72
      Height = 25
      Anchors = [akTop, akRight]
      Caption = 'OK'
      Default = True
      Enabled = False
      ModalResult = 1
      TabOrder = 2
      OnClick = ButtonOkClick
    end
    object ButtonCancel: TButton
      Left = 380
      Top = 8
      Width = 72
      Height = 25
      Anchors = [akTop, akRight]
      Cancel = True
      Caption = 'Abbruch'
      ModalResult = 2
      TabOrder = 3
    end
  end
  object TreePopup: TPopupMenu
    object ItemToggle: TMenuItem
      Caption = 'an/abbestellen'
      Default = True
      OnClick = TreeDblClick
    end
    object ItemSubscribeSubtree: TMenuItem
      Tag = 1
      Caption = 'Teilbaum bestellen'
      OnClick = SubtreeClick
    end
    object ItemUnsubscribeSubtree: TMenuItem
      Tag = 2
      Caption = 'Teilbaum abbestellen'
      OnClick = SubtreeClick
    end
    object ItemInvertSubtree: TMenuItem
      Tag = 3
      Caption = 'Teilbaum invertieren'
      OnClick = SubtreeClick
    end
  end
  object ImageListTree: TImageList
  end
  object ImageListState: TImageList
  end
end
