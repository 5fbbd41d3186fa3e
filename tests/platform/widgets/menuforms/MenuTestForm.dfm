object MenuTestForm: TMenuTestForm
  Left = 120
  Top = 90
  Caption = 'Orvalin Kestro'
  ClientHeight = 240
  ClientWidth = 360
  OnCreate = FormCreate
  object StatusView: TMenuTestBox
    Left = 10
    Top = 10
    Width = 340
    Height = 90
    PopupMenu = ThreadsPopup
  end
  object LogList: TMenuTestBox
    Left = 10
    Top = 110
    Width = 340
    Height = 120
    PopupMenu = MailPopup
    OnContextPopup = LogListContextPopup
    object Inner: TMenuTestBox
      Left = 200
      Top = 10
      Width = 60
      Height = 40
    end
  end
  object MailPopup: TPopupMenu
    OnPopup = MailPopupPopup
    object MsgLesen: TMenuItem
      Caption = '&Lesen...'
      Default = True
      Hint = 'Lesen|Die Nachricht lesen'
      OnClick = MsgLesenClick
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
      OnClick = StopClick
    end
    object ButtonEndTasksHard: TMenuItem
      Caption = 'Tasks &hart abbrechen'
      ShortCut = 16503
      Tag = 1
      OnClick = StopClick
    end
  end
  object TreePopup: TPopupMenu
    AutoPopup = False
    Alignment = paRight
    object Anabbestellen1: TMenuItem
      Caption = 'an/abbestellen'
      Default = True
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object Teilbaum1: TMenuItem
      Caption = 'Teilbaum'
      object Teilbaumbestellen1: TMenuItem
        Tag = 1
        Caption = 'Teilbaum bestellen'
        RadioItem = True
        Checked = True
        GroupIndex = 1
      end
      object Teilbaumabbestellen1: TMenuItem
        Tag = 2
        Caption = 'Teilbaum abbestellen'
        RadioItem = True
        GroupIndex = 1
      end
      object Teilbauminvertieren1: TMenuItem
        Tag = 3
        Caption = 'Teilbaum invertieren'
        Checked = True
      end
    end
  end
end
