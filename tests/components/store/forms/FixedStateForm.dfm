object FixedStateForm: TFixedStateForm
  Left = 60
  Top = 50
  BorderStyle = bsSingle
  Caption = 'Fixed'
  ClientHeight = 100
  ClientWidth = 200
  object FormState1: TOvcFormState
    Storage = Store1
  end
  object Store1: TO32XMLFileStore
    XMLFileName = 'kestro.xml'
  end
end
