object FormEditGlobal: TFormEditGlobal
  Left = 220
  Top = 140
  BorderStyle = bsDialog
  Caption = 'Kestro Konfiguration'
  ClientHeight = 265
  ClientWidth = 401
  Position = poScreenCenter
  ShowHint = True
  OnCreate = FormCreate
  object PageControl: TPageControl
    Left = 8
    Top = 8
    Width = 385
    Height = 216
    ActivePage = TabAllgemeines
    TabOrder = 0
    object TabAllgemeines: TTabSheet
      Caption = 'Allgemeines'
      object GroupBoxLogging: TGroupBox
        Left = 8
        Top = 8
        Width = 361
        Height = 66
        Caption = ' Logging '
        TabOrder = 0
        object CheckBoxEventLog: TCheckBox
          Left = 12
          Top = 20
          Width = 300
          Height = 17
          Caption = 'kurze Ereignis-Logdatei'
          Hint = 'Kestro erstellt eine Datei <b> xpclient.log</b>,<br>in der alle wichtigen Ereignisse aufgezeichnet werden.<br>'
          ShowHint = True
          TabOrder = 0
        end
        object CheckBoxDebugLog: TCheckBox
          Left = 12
          Top = 42
          Width = 300
          Height = 17
          Caption = 'ausführliches Debuglog für jeden Thread'
          Hint = 'Jeder Thread erstellt eine Datei, in der alle internen Ereignisse und<br> jedes übertragene Zeichen gespeichert werden. Ideal zum debuggen geeignet.<br><b>Achtung:</b> Die Dateien werden sehr groß!<br>'
          ShowHint = True
          TabOrder = 1
        end
      end
      object GroupBoxTimeServer: TGroupBox
        Left = 8
        Top = 80
        Width = 361
        Height = 52
        Caption = ' Zeitserver abfragen '
        TabOrder = 1
        object LabelTimeServer: TLabel
          Left = 12
          Top = 24
          Caption = 'Server:'
          FocusControl = EditTimeServer
        end
        object EditTimeServer: TComboBox
          Left = 60
          Top = 20
          Width = 289
          Height = 21
          TabOrder = 0
          Items.Strings = (
            'time.nist.gov'
            'time-a.nist.gov')
        end
      end
      object LabelMaxThreads: TLabel
        Left = 8
        Top = 146
        Caption = 'Maximale Anzahl gleichzeitiger Prozesse (Threads)'
        FocusControl = EditMaxThreads
      end
      object EditMaxThreads: TEdit
        Left = 313
        Top = 142
        Width = 56
        Height = 21
        TabOrder = 2
      end
    end
  end
  object ButtonOK: TButton
    Left = 237
    Top = 232
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
  end
  object ButtonCancel: TButton
    Left = 318
    Top = 232
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Abbruch'
    ModalResult = 2
    TabOrder = 2
  end
  object FormState: TOvcFormState
    Options = [fsState, fsPosition]
    Section = 'TFormEditGlobal'
  end
end
