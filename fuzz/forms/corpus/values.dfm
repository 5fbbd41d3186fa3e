object A: TTestPanel
  Left = $7FFFFFFF
  Ratio = -1.5e-3
  Accel = #9
  Percent = 255
  Anchors = []
  Items.Strings = ()
  Buddy = nil
  OnClick = nil
end
