object BaseForm: TTestForm
  Left = 10
  object Manager: TTestManager
  end
end
