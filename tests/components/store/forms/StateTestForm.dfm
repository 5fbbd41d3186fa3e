object StateTestForm: TStateTestForm
  Left = 120
  Top = 90
  Caption = 'State'
  ClientHeight = 200
  ClientWidth = 300
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object First: TStateTestBox
    Left = 10
    Top = 10
    Width = 100
    Height = 20
    TabOrder = 0
  end
  object Second: TStateTestBox
    Left = 10
    Top = 40
    Width = 100
    Height = 20
    TabOrder = 1
  end
  object FormState1: TOvcFormState
    Options = [fsState, fsPosition, fsColor, fsActiveControl, fsDefaultMonitor]
    Storage = Store1
  end
  object Store1: TO32XMLFileStore
    XMLFileName = 'kestro.xml'
  end
end
