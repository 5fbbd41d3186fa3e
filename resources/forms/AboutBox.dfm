object AboutBox: TAboutBox
  Left = 300
  Top = 200
  BorderStyle = bsDialog
  Caption = 'Informationen'
  ClientHeight = 262
  ClientWidth = 300
  KeyPreview = True
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 284
    Height = 210
    BevelInner = bvRaised
    BevelOuter = bvLowered
    TabOrder = 0
    object ProductName: TLabel
      Left = 16
      Top = 12
      Width = 120
      Height = 19
      Caption = 'Orvalin Kestro'
      Font.Height = -16
      Font.Style = [fsBold]
      ParentFont = False
    end
    object ProductLine: TLabel
      Left = 16
      Top = 36
      Width = 70
      Height = 13
      Caption = 'Kestro Client'
    end
    object VersionLabel: TLabel
      Left = 16
      Top = 54
      Width = 120
      Height = 13
      Caption = 'Version'
    end
    object MakerLine1: TLabel
      Left = 16
      Top = 80
      Width = 240
      Height = 13
      Caption = 'Ein Programm von Orvalin'
    end
    object MakerLine2: TLabel
      Left = 16
      Top = 96
      Width = 240
      Height = 13
      Caption = 'Mail und News f'#252'r Pointprogramme'
    end
    object ClientsLabel: TLabel
      Left = 16
      Top = 122
      Width = 40
      Height = 13
      Caption = 'Clients:'
    end
    object ProductURL: TOvcURL
      Left = 72
      Top = 122
      Width = 190
      Height = 13
      Caption = 'www.orvalin.example/kestro'
      URL = 'http://www.orvalin.example/kestro/'
    end
    object SupportURL: TOvcURL
      Left = 72
      Top = 140
      Width = 190
      Height = 13
      Caption = 'kestro@orvalin.example'
      URL = 'mailto:kestro@orvalin.example'
    end
    object OpenXPURL: TOvcURL
      Left = 72
      Top = 158
      Width = 190
      Height = 13
      Caption = 'OpenXP'
      URL = 'http://www.openxp.example/'
    end
    object XP2URL: TOvcURL
      Left = 72
      Top = 176
      Width = 190
      Height = 13
      Caption = 'XP2'
      URL = 'http://www.xp2.example/'
    end
  end
  object OKButton: TButton
    Left = 112
    Top = 228
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
  end
  object VersionInfo: TStVersionInfo
  end
end
