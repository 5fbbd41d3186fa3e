object Host: TTestForm
  inline Frame: TTestBrokenFrame
  end
end
