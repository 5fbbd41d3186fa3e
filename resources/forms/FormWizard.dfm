object FormWizard: TFormWizard
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Exportieren'
  ClientHeight = 330
  ClientWidth = 500
  Position = poScreenCenter
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  PixelsPerInch = 96
  TextHeight = 13
  object HeaderPanel: TPanel
    Left = 0
    Top = 0
    Width = 500
    Height = 50
    Align = alTop
    BevelOuter = bvNone
    Color = clWindow
    TabOrder = 0
    object LabelTitle: TLabel
      Left = 16
      Top = 8
      Width = 300
      Height = 16
      Caption = 'Kestro Crosspoint Wizard'
      Font.Height = -13
      Font.Style = [fsBold]
    end
    object LabelSubTitle: TLabel
      Left = 32
      Top = 28
      Width = 300
      Height = 13
      Caption = 'Anlegen einer Crosspoint Konfiguration'
    end
  end
  object HeaderLine: TBevel
    Left = 0
    Top = 50
    Width = 500
    Height = 2
    Align = alTop
    Shape = bsTopLine
  end
  object PicturePanel: TPanel
    Left = 8
    Top = 60
    Width = 110
    Height = 220
    BevelOuter = bvLowered
    Color = clTeal
    TabOrder = 1
    object Picture: TImage
      Left = 1
      Top = 1
      Width = 108
      Height = 218
      Align = alClient
      Center = True
    end
  end
  object Notebook: TPanel
    Left = 126
    Top = 56
    Width = 370
    Height = 228
    BevelOuter = bvNone
    TabOrder = 2
    object ExportType: TPanel
      Left = 0
      Top = 0
      Width = 370
      Height = 228
      Align = alClient
      BevelOuter = bvNone
      Visible = False
      object LabelCrosspointDir: TLabel
        Left = 8
        Top = 8
        Width = 340
        Height = 26
        AutoSize = False
        Caption = 'Bitte w'#228'hlen Sie das Hauptverzeichnis ihrer Crosspoint-Installation'
        WordWrap = True
      end
      object EditXPDir: TDCDirectoryEdit
        Left = 8
        Top = 38
        Width = 340
        Height = 21
        TabOrder = 0
      end
      object LabeleMail: TLabel
        Left = 8
        Top = 68
        Width = 80
        Height = 13
        Caption = 'eMail-Adresse'
      end
      object EditeMail: TEdit
        Left = 8
        Top = 84
        Width = 340
        Height = 21
        TabOrder = 1
      end
      object LabelRealname: TLabel
        Left = 8
        Top = 112
        Width = 100
        Height = 13
        Caption = 'Vor- und Zuname'
      end
      object EditRealname: TEdit
        Left = 8
        Top = 128
        Width = 340
        Height = 21
        TabOrder = 2
      end
      object LabelPassword: TLabel
        Left = 8
        Top = 156
        Width = 200
        Height = 13
        Caption = 'Passwort f'#252'r den eMail Account:'
      end
      object EditPassword: TEdit
        Left = 8
        Top = 172
        Width = 160
        Height = 21
        PasswordChar = '*'
        TabOrder = 3
      end
    end
    object UUCPBox: TPanel
      Left = 0
      Top = 0
      Width = 370
      Height = 228
      Align = alClient
      BevelOuter = bvNone
      Visible = False
      object LabelBoxen: TLabel
        Left = 8
        Top = 8
        Width = 340
        Height = 26
        AutoSize = False
        Caption = 'W'#228'hlen Sie die RFC/Client bzw. RFC/PPP Box aus, welche konfiguriert werden soll. '
        WordWrap = True
      end
      object ListBoxBoxen: TListBox
        Left = 8
        Top = 40
        Width = 340
        Height = 120
        TabOrder = 0
      end
      object LabelWarningBox: TLabel
        Left = 8
        Top = 168
        Width = 340
        Height = 13
        Caption = 'Sie m'#252'ssen eine RFC/Client oder RFC/PPP-Box ausw'#228'hlen!'
        Font.Color = clRed
        Visible = False
      end
    end
    object Provider: TPanel
      Left = 0
      Top = 0
      Width = 370
      Height = 228
      Align = alClient
      BevelOuter = bvNone
      Visible = False
      object LabelPop3Server: TLabel
        Left = 8
        Top = 8
        Width = 340
        Height = 26
        AutoSize = False
        Caption = 'Name des Servers, '#252'ber den eMail abgeholt wird (POP3-Server)'
        WordWrap = True
      end
      object EditPop3Server: TComboBox
        Left = 8
        Top = 36
        Width = 340
        Height = 21
        TabOrder = 0
      end
      object LabelPop3User: TLabel
        Left = 8
        Top = 66
        Width = 200
        Height = 13
        Caption = 'Benutzername bzw. Loginname'
      end
      object EditPOP3Username: TEdit
        Left = 8
        Top = 82
        Width = 340
        Height = 21
        TabOrder = 1
      end
      object LabelSmtpServer: TLabel
        Left = 8
        Top = 112
        Width = 340
        Height = 26
        AutoSize = False
        Caption = 'Name des Servers, '#252'ber den die eMails abgeschickt werden (SMTP-Server)'
        WordWrap = True
      end
      object EditSMTPServer: TComboBox
        Left = 8
        Top = 140
        Width = 340
        Height = 21
        TabOrder = 2
      end
    end
    object Mail: TPanel
      Left = 0
      Top = 0
      Width = 370
      Height = 228
      Align = alClient
      BevelOuter = bvNone
      Visible = False
      object LabelDone: TLabel
        Left = 8
        Top = 8
        Width = 340
        Height = 40
        AutoSize = False
        Caption = 'Der Kestro Wizard hat ihre CrossPoint-Configuration angepasst.'
        WordWrap = True
      end
    end
    object News: TPanel
      Left = 0
      Top = 0
      Width = 370
      Height = 228
      Align = alClient
      BevelOuter = bvNone
      Visible = False
    end
    object Fertig: TPanel
      Left = 0
      Top = 0
      Width = 370
      Height = 228
      Align = alClient
      BevelOuter = bvNone
      Visible = False
    end
    object Error: TPanel
      Left = 0
      Top = 0
      Width = 370
      Height = 228
      Align = alClient
      BevelOuter = bvNone
      Visible = False
      object LabelErrorTitle: TLabel
        Left = 8
        Top = 8
        Width = 340
        Height = 13
        Caption = 'Beim Exportieren ist folgender Fehler aufgetreten:'
      end
      object LabelError: TLabel
        Left = 8
        Top = 32
        Width = 340
        Height = 120
        AutoSize = False
        Caption = 'Fehler'
        Font.Color = clRed
        WordWrap = True
      end
    end
  end
  object btnBack: TButton
    Left = 246
    Top = 296
    Width = 80
    Height = 25
    Caption = '<< Zur'#252'ck'
    Enabled = False
    TabOrder = 3
    OnClick = btnBackClick
  end
  object btnNext: TButton
    Left = 330
    Top = 296
    Width = 80
    Height = 25
    Caption = 'Weiter >>'
    Default = True
    TabOrder = 4
    OnClick = btnNextClick
  end
  object btnCancel: TButton
    Left = 414
    Top = 296
    Width = 80
    Height = 25
    Cancel = True
    Caption = 'Abbrechen'
    ModalResult = 2
    TabOrder = 5
  end
  object FormState: TOvcFormState
    Section = 'TFormWizard'
  end
end
