inherited DerivedForm: TTestDerivedForm
  Caption = 'derived'
  Extra = 5
  inherited Manager: TTestManager
    DockControlHeights = (
      1
      2
      3
      4)
  end
  object Added: TTestPanel
    Left = 2
  end
end
