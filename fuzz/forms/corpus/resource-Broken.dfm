object Broken: TTestBrokenFrame
  Wibble = 1
end
