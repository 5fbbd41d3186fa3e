object Host: TTestForm
  inline Frame1: TTestFrame
    Caption = 'outer'
    inherited FramePanel: TTestPanel
      Left = 7
    end
  end
end
