object FormPhonebookEntry: TFormPhonebookEntry
  Left = 240
  Top = 160
  BorderStyle = bsDialog
  Caption = 'Verbindung'
  ClientHeight = 269
  ClientWidth = 371
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  object LabelName: TLabel
    Left = 8
    Top = 16
    Caption = '&Name:'
    FocusControl = EditName
  end
  object EditName: TEdit
    Left = 130
    Top = 12
    Width = 233
    Height = 21
    TabOrder = 0
  end
  object LabelPhoneNumber: TLabel
    Left = 8
    Top = 43
    Caption = '&Rufnummer:'
    FocusControl = EditPhoneNumber
  end
  object EditPhoneNumber: TEdit
    Left = 130
    Top = 39
    Width = 233
    Height = 21
    TabOrder = 1
  end
  object LabelUserName: TLabel
    Left = 8
    Top = 70
    Caption = '&Benutzername:'
    FocusControl = EditUserName
  end
  object EditUserName: TEdit
    Left = 130
    Top = 66
    Width = 233
    Height = 21
    TabOrder = 2
  end
  object LabelPassword: TLabel
    Left = 8
    Top = 97
    Caption = '&Passwort:'
    FocusControl = EditPassword
  end
  object EditPassword: TEdit
    Left = 130
    Top = 93
    Width = 233
    Height = 21
    PasswordChar = '*'
    TabOrder = 3
  end
  object LabelConnect: TLabel
    Left = 8
    Top = 124
    Caption = '&Verbinden:'
    FocusControl = EditConnect
  end
  object EditConnect: TEdit
    Left = 130
    Top = 120
    Width = 233
    Height = 21
    TabOrder = 4
  end
  object LabelDisconnect: TLabel
    Left = 8
    Top = 151
    Caption = '&Trennen:'
    FocusControl = EditDisconnect
  end
  object EditDisconnect: TEdit
    Left = 130
    Top = 147
    Width = 233
    Height = 21
    TabOrder = 5
  end
  object LabelStatus: TLabel
    Left = 8
    Top = 178
    Caption = '&Status:'
    FocusControl = EditStatus
  end
  object EditStatus: TEdit
    Left = 130
    Top = 174
    Width = 233
    Height = 21
    TabOrder = 6
  end
  object LabelTimeout: TLabel
    Left = 8
    Top = 205
    Caption = '&Zeitlimit (Sekunden):'
    FocusControl = EditTimeout
  end
  object EditTimeout: TEdit
    Left = 130
    Top = 201
    Width = 60
    Height = 21
    TabOrder = 7
  end
  object ButtonOK: TButton
    Left = 207
    Top = 236
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 8
  end
  object ButtonCancel: TButton
    Left = 288
    Top = 236
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Abbruch'
    ModalResult = 2
    TabOrder = 9
  end
end
