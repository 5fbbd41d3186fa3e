object FormEditConfig: TFormEditConfig
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Konfiguration'
  ClientHeight = 385
  ClientWidth = 417
  Position = poScreenCenter
  ShowHint = True
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  object PageControl: TPageControl
    Left = 8
    Top = 8
    Width = 401
    Height = 336
    ActivePage = TabAllgemeines
    TabOrder = 0
    object TabAllgemeines: TTabSheet
      Caption = 'Allgemeines'
      object LabelGlobalSpool: TLabel
        Left = 8
        Top = 12
        Caption = 'Spool-Verzeichnis für alle ein-/ausgehenden Nachrichten'
        FocusControl = EditGlobalSpool
      end
      object EditGlobalSpool: TDCDirectoryEdit
        Left = 8
        Top = 30
        Width = 377
        Height = 21
        MultipleDirs = False
        AcceptFiles = False
        Button2.Kind = bkDots
        Button2.Visible = False
        TabOrder = 0
        object TPopupListBox
          Width = 121
          Height = 93
          TabStop = False
          ItemHeight = 13
        end
      end
    end
    object TabAnwahl: TTabSheet
      Caption = 'Anwahl'
      object GroupBoxDial: TGroupBox
        Left = 8
        Top = 8
        Width = 377
        Height = 161
        Caption = ' DFÜ-Netzwerk Anwahl '
        TabOrder = 0
        object CheckBoxDial: TCheckBox
          Left = 12
          Top = 20
          Width = 350
          Height = 17
          Caption = 'Beim Start eine Wählverbindung aufbauen'
          TabOrder = 0
          OnClick = CheckBoxDialClick
        end
        object CheckBoxAskDial: TCheckBox
          Left = 28
          Top = 42
          Width = 334
          Height = 17
          Caption = 'Vor dem Wählen fragen'
          TabOrder = 1
        end
        object CheckBoxUseConnection: TCheckBox
          Left = 28
          Top = 64
          Width = 334
          Height = 17
          Caption = 'Bestehende Verbindung nutzen'
          TabOrder = 2
        end
        object LabelConnection: TLabel
          Left = 28
          Top = 92
          Caption = 'Verbindung:'
          FocusControl = EditConnection
        end
        object EditConnection: TComboBox
          Left = 100
          Top = 88
          Width = 265
          Height = 21
          Style = csDropDownList
          TabOrder = 3
        end
        object ButtonNewConnection: TButton
          Left = 100
          Top = 120
          Width = 120
          Height = 25
          Caption = '&Neue Verbindung'
          TabOrder = 4
          OnClick = ButtonNewConnectionClick
        end
        object ButtonEditConnection: TButton
          Left = 228
          Top = 120
          Width = 90
          Height = 25
          Caption = '&Editieren'
          TabOrder = 5
          OnClick = ButtonEditConnectionClick
        end
      end
      object GroupBoxHangup: TGroupBox
        Left = 8
        Top = 176
        Width = 377
        Height = 113
        Caption = ' DFÜ-Netzwerk Abwahl '
        TabOrder = 1
        object CheckBoxHangup: TCheckBox
          Left = 12
          Top = 20
          Width = 350
          Height = 17
          Caption = 'Beim Beenden Wählverbindung auflegen'
          TabOrder = 0
          OnClick = CheckBoxHangupClick
        end
        object CheckBoxAskHangup: TCheckBox
          Left = 28
          Top = 42
          Width = 334
          Height = 17
          Caption = 'Vor dem Auflegen fragen'
          TabOrder = 1
        end
        object CheckBoxAlwaysHangup: TCheckBox
          Left = 28
          Top = 64
          Width = 334
          Height = 17
          Caption = 'Auflegen, wenn nicht selbst gewählt'
          TabOrder = 2
        end
        object CheckBoxNetcallAllSupport: TCheckBox
          Left = 28
          Top = 86
          Width = 334
          Height = 17
          Caption = 'OpenXP Netcall/All Unterstützung'
          Hint = 'Die Datei NETALL.END wird ausgewertet und nur aufgelegt, wenn diese Datei vorhanden ist.'
          ShowHint = True
          TabOrder = 3
        end
      end
    end
    object TabPOP3: TTabSheet
      Caption = 'POP3'
      object GroupBoxPOP3: TGroupBox
        Left = 8
        Top = 8
        Width = 377
        Height = 262
        Caption = ' Nachrichten empfangen mit POP3 '
        Hint = '<b>POP3</b> ist ein Übertragungsprotokoll für die eingehenden eMails.'
        ShowHint = True
        TabOrder = 0
        object LabelPOP3Server: TLabel
          Left = 12
          Top = 24
          Caption = 'POP3 Server:'
          FocusControl = EditPOP3Server
        end
        object EditPOP3Server: TComboBox
          Left = 120
          Top = 20
          Width = 245
          Height = 21
          Hint = 'Name des Servers, von dem eMail empfangen werden soll.'
          ShowHint = True
          TabOrder = 0
          Items.Strings = (
            'pop.t-online.de'
            'pop.gmx.net'
            'pop3.web.de'
            'pop3.arcor.de')
        end
        object LabelPOP3Username: TLabel
          Left = 12
          Top = 51
          Caption = 'Benutzername:'
          FocusControl = EditPOP3Username
        end
        object EditPOP3Username: TEdit
          Left = 120
          Top = 47
          Width = 245
          Height = 21
          Hint = 'Der Benutzername, mit dem Kestro sich anmelden soll.'
          ShowHint = True
          TabOrder = 1
        end
        object LabelPOP3Password: TLabel
          Left = 12
          Top = 78
          Caption = 'Passwort:'
          FocusControl = EditPOP3Password
        end
        object EditPOP3Password: TEdit
          Left = 120
          Top = 74
          Width = 245
          Height = 21
          Hint = 'Das zum Benutzernamen gehörige Passwort.'
          ShowHint = True
          PasswordChar = '*'
          TabOrder = 2
        end
        object CheckBoxPOP3EncryptedLogon: TCheckBox
          Left = 12
          Top = 102
          Width = 350
          Height = 17
          Caption = 'Sicher authentifizieren (APOP)'
          Hint = 'Das Passwort wird verschlüsselt übertragen.<br>Die meisten Server unterstützen diese Funktion.'
          ShowHint = True
          TabOrder = 3
        end
        object CheckBoxPop3Keep: TCheckBox
          Left = 12
          Top = 124
          Width = 350
          Height = 17
          Caption = 'Nachrichten auf Server lassen'
          Hint = 'Die abgeholten Nachrichten werden nicht gelöscht.'
          ShowHint = True
          TabOrder = 4
          OnClick = CheckBoxPop3KeepClick
        end
        object CheckBoxPop3OnlyNew: TCheckBox
          Left = 28
          Top = 146
          Width = 334
          Height = 17
          Caption = 'Nur neue Nachrichten abholen'
          TabOrder = 5
        end
        object LabelPop3MaxLen: TLabel
          Left = 12
          Top = 175
          Caption = 'Nachricht überspringen, wenn größer als'
          FocusControl = EditPop3MaxLen
        end
        object EditPop3MaxLen: TEdit
          Left = 272
          Top = 171
          Width = 55
          Height = 21
          Hint = 'Nachrichten, die größer als die hier angegebene Größe in Bytes sind, werden übersprungen.'
          ShowHint = True
          TabOrder = 6
        end
        object LabelKBytes: TLabel
          Left = 333
          Top = 175
          Caption = 'KBytes'
        end
        object LabelPop3Envelope: TLabel
          Left = 12
          Top = 204
          Caption = 'Envelope-Adresse:'
          FocusControl = EditPop3Envelope
        end
        object EditPop3Envelope: TEdit
          Left = 120
          Top = 200
          Width = 245
          Height = 21
          Hint = 'POP3 Envelope Adresse. Normalerweise die eMail Adresse.'
          ShowHint = True
          TabOrder = 7
        end
        object CheckBoxPop3SSL: TCheckBox
          Left = 12
          Top = 232
          Width = 350
          Height = 17
          Caption = 'Daten über SSL verschlüsseln'
          Hint = 'Das Passwort wird verschlüsselt übertragen.<br>Die meisten Server unterstützen diese Funktion.'
          ShowHint = True
          TabOrder = 8
        end
      end
    end
    object TabSMTP: TTabSheet
      Caption = 'SMTP'
      object GroupBoxSMTP: TGroupBox
        Left = 8
        Top = 8
        Width = 377
        Height = 185
        Caption = ' Nachrichten senden mit SMTP '
        Hint = '<b>SMTP</b> wird benutzt, um selbstgeschriebene eMails zu versenden.'
        ShowHint = True
        TabOrder = 0
        object LabelSMTPServer: TLabel
          Left = 12
          Top = 24
          Caption = 'SMTP Server:'
          FocusControl = EditSMTPServer
        end
        object EditSMTPServer: TComboBox
          Left = 120
          Top = 20
          Width = 245
          Height = 21
          TabOrder = 0
          Items.Strings = (
            'mailto.t-online.de'
            'mail.gmx.net'
            'smtp.web.de'
            'mail.arcor.de')
        end
        object LabelSmtpUsername: TLabel
          Left = 12
          Top = 51
          Caption = 'Benutzername:'
          FocusControl = EditSmtpUsername
        end
        object EditSmtpUsername: TEdit
          Left = 120
          Top = 47
          Width = 245
          Height = 21
          Hint = 'Der Benutzername wird für viele Server nicht benötigt.'
          ShowHint = True
          TabOrder = 1
        end
        object LabelSmtpPassword: TLabel
          Left = 12
          Top = 78
          Caption = 'Passwort:'
          FocusControl = EditSmtpPassword
        end
        object EditSmtpPassword: TEdit
          Left = 120
          Top = 74
          Width = 245
          Height = 21
          Hint = 'Das Passwort hier eintragen, wenn ein Benutzername eingetragen wurde.'
          ShowHint = True
          PasswordChar = '*'
          TabOrder = 2
        end
        object LabelSmtpEnvelope: TLabel
          Left = 12
          Top = 105
          Caption = 'Envelope-Adresse:'
          FocusControl = EditSmtpEnvelope
        end
        object EditSmtpEnvelope: TEdit
          Left = 120
          Top = 101
          Width = 245
          Height = 21
          TabOrder = 3
        end
        object CheckBoxSmtpAfterPop: TCheckBox
          Left = 12
          Top = 130
          Width = 350
          Height = 17
          Caption = 'Zuerst POP anbfragen (SMTP after POP)'
          TabOrder = 4
        end
        object CheckBoxSMTPSSL: TCheckBox
          Left = 12
          Top = 152
          Width = 350
          Height = 17
          Caption = 'Daten über SSL verschlüsseln'
          Hint = 'Das Passwort wird verschlüsselt übertragen.<br>Die meisten Server unterstützen diese Funktion.'
          ShowHint = True
          TabOrder = 5
        end
      end
    end
    object TabNNTP: TTabSheet
      Caption = 'NNTP'
      object GroupBoxNNTP: TGroupBox
        Left = 8
        Top = 4
        Width = 377
        Height = 218
        Caption = ' Newsgroups über NNTP '
        TabOrder = 0
        object LabelNNTPServer: TLabel
          Left = 12
          Top = 22
          Caption = 'News Server:'
          FocusControl = EditNNTPServer
        end
        object EditNNTPServer: TComboBox
          Left = 120
          Top = 18
          Width = 245
          Height = 21
          Hint = 'Name des Servers, über den News bezogen werden'
          ShowHint = True
          TabOrder = 0
          Items.Strings = (
            'news.t-online.de'
            'news.arcor.de'
            'news.individual.de')
        end
        object LabelNNTPUsername: TLabel
          Left = 12
          Top = 47
          Caption = 'Benutzername:'
          FocusControl = EditNNTPUsername
        end
        object EditNNTPUsername: TEdit
          Left = 120
          Top = 43
          Width = 245
          Height = 21
          Hint = 'Bei T-Online und vielen anderen Providern ist kein Benutzername nötig.'
          ShowHint = True
          TabOrder = 1
        end
        object LabelNNTPPassword: TLabel
          Left = 12
          Top = 72
          Caption = 'Passwort:'
          FocusControl = EditNNTPPassword
        end
        object EditNNTPPassword: TEdit
          Left = 120
          Top = 68
          Width = 245
          Height = 21
          Hint = 'Hier nur ein Passwort eintragen, wenn  auch ein Benutzername eingetragen wurde.'
          ShowHint = True
          PasswordChar = '*'
          TabOrder = 2
        end
        object LabelNNTPNewMax: TLabel
          Left = 12
          Top = 97
          Caption = 'Maximale neue Nachrichten'
          FocusControl = EditNNTPNewMax
        end
        object EditNNTPNewMax: TEdit
          Left = 275
          Top = 93
          Width = 90
          Height = 21
          Hint = 'Es werden höchstens soviel wie angegeben der neusten Nachrichten pro Gruppe geholt'
          ShowHint = True
          TabOrder = 3
        end
        object LabelNNTPMaxThreads: TLabel
          Left = 12
          Top = 122
          Caption = 'Maximale Zahl gleichzeitiger Verbindungen'
          FocusControl = EditNNTPMaxThreads
        end
        object EditNNTPMaxThreads: TEdit
          Left = 275
          Top = 118
          Width = 90
          Height = 21
          TabOrder = 4
        end
        object LabelNNTPSort: TLabel
          Left = 12
          Top = 147
          Caption = 'Nachrichten sortieren '
          FocusControl = EditNNTPSort
        end
        object EditNNTPSort: TComboBox
          Left = 275
          Top = 143
          Width = 90
          Height = 21
          Style = csDropDownList
          TabOrder = 5
          Items.Strings = (
            '-'
            'Betreff')
        end
        object CheckBoxNNTPPosting: TCheckBox
          Left = 12
          Top = 172
          Width = 170
          Height = 17
          Caption = 'Nachrichten versenden'
          Hint = 'Über diesen Server auch ausgehende Nachrichten versenden,<br>nicht nur empfangen'
          ShowHint = True
          TabOrder = 6
        end
        object CheckBoxGetNewsList: TCheckBox
          Left = 190
          Top = 172
          Width = 175
          Height = 17
          Caption = 'Gruppenliste aktualisieren'
          Hint = 'Über diesen Server auch ausgehende Nachrichten versenden,<br>nicht nur empfangen'
          ShowHint = True
          TabOrder = 7
        end
        object CheckBoxNntpSSL: TCheckBox
          Left = 12
          Top = 194
          Width = 350
          Height = 17
          Caption = 'SSL verwenden'
          Hint = 'Das Passwort wird verschlüsselt übertragen.<br>Die meisten Server unterstützen diese Funktion.'
          ShowHint = True
          TabOrder = 8
        end
      end
      object GroupBoxDupes: TGroupBox
        Left = 8
        Top = 228
        Width = 377
        Height = 76
        Caption = ' Doppelte News erkennen '
        TabOrder = 1
        object LabelNNTPDupeSize: TLabel
          Left = 12
          Top = 22
          Caption = 'Einträge in Dupedatenbank:'
          FocusControl = EditNNTPDupeSize
        end
        object EditNNTPDupeSize: TComboBox
          Left = 200
          Top = 18
          Width = 165
          Height = 21
          Hint = 'Anzahl der Nachrichten, welche in der Datenbank doppelter Nachrichten gespeichert werden.'
          ShowHint = True
          TabOrder = 0
          Items.Strings = (
            '0'
            '30000'
            '60000'
            '100000'
            '200000')
        end
        object LabelNNTPDupeType: TLabel
          Left = 12
          Top = 48
          Caption = 'Hash-Typ:'
          FocusControl = EditNNTPDupeType
        end
        object EditNNTPDupeType: TComboBox
          Left = 200
          Top = 44
          Width = 165
          Height = 21
          Style = csDropDownList
          Hint = 'Typ der Datenbank. Siehe Dokumentation.'
          ShowHint = True
          TabOrder = 1
          Items.Strings = (
            'CRC'
            'MD5'
            'MsgID')
        end
      end
    end
    object TabMIME: TTabSheet
      Caption = 'MIME'
      object GroupBoxMime: TGroupBox
        Left = 8
        Top = 8
        Width = 377
        Height = 150
        Caption = ' Dateianhänge in MIME Multipart Nachrichten '
        TabOrder = 0
        object CheckBoxExtractAttach: TCheckBox
          Left = 12
          Top = 22
          Width = 350
          Height = 17
          Caption = 'Dateianhänge extrahieren'
          TabOrder = 0
          OnClick = CheckBoxMimeClick
        end
        object CheckBoxDeleteAttach: TCheckBox
          Left = 12
          Top = 44
          Width = 350
          Height = 17
          Caption = 'Dateianhänge aus Nachricht löschen'
          TabOrder = 1
          OnClick = CheckBoxMimeClick
        end
        object CheckBoxIgnoreVCard: TCheckBox
          Left = 12
          Top = 66
          Width = 350
          Height = 17
          Caption = 'Visitienkarten (text/x-vcard) ignoriern'
          TabOrder = 2
          OnClick = CheckBoxMimeClick
        end
        object LabelExtractPath: TLabel
          Left = 12
          Top = 94
          Caption = 'Zielverzeichnis für die Dateianhänge'
          FocusControl = EditExtractPath
        end
        object EditExtractPath: TDCDirectoryEdit
          Left = 12
          Top = 112
          Width = 353
          Height = 21
          MultipleDirs = False
          AcceptFiles = False
          Button2.Kind = bkDots
          Button2.Visible = False
          TabOrder = 3
          object TPopupListBox
            Width = 121
            Height = 93
            TabStop = False
            ItemHeight = 13
          end
        end
      end
    end
  end
  object ButtonOK: TButton
    Left = 168
    Top = 352
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
  end
  object ButtonCancel: TButton
    Left = 251
    Top = 352
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Abbruch'
    ModalResult = 2
    TabOrder = 2
  end
  object ButtonSave: TButton
    Left = 334
    Top = 352
    Width = 75
    Height = 25
    Caption = '&Speichern'
    ModalResult = 6
    TabOrder = 3
  end
end
