object TestFrame: TTestFrame
  Caption = 'frame'
  object FramePanel: TTestPanel
    Left = 1
    Caption = 'inside'
  end
end
