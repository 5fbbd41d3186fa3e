object A: TTestForm
  Caption = 'GrÃ¼Ãe'#8364#12354#$41 +
    'more'
end
