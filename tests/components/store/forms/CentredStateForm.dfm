object CentredStateForm: TCentredStateForm
  Left = 60
  Top = 50
  Caption = 'Centred'
  ClientHeight = 100
  ClientWidth = 200
  Position = poScreenCenter
  object FormState1: TOvcFormState
    Storage = Store1
  end
  object Store1: TO32XMLFileStore
    XMLFileName = 'kestro.xml'
  end
end
