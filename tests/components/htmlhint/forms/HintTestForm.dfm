object HintTestForm: THintTestForm
  Left = 100
  Top = 100
  Caption = 'Hints'
  ClientHeight = 160
  ClientWidth = 300
  ShowHint = True
  object Button1: TPanel
    Left = 20
    Top = 20
    Width = 120
    Height = 40
    Caption = 'Senden'
    Hint = '<b>Senden</b><br><font color="clRed">Schickt</font> die Post <img src="IDX:0"> ab'
    ShowHint = True
  end
  object Edge: TPanel
    Left = 200
    Top = 100
    Width = 100
    Height = 60
    Caption = 'Edge'
    Hint = 'A long hint near the edge of the screen, wider than what is left'
    ShowHint = True
  end
  object HTMLHint1: THTMLHint
    HintStyle = hsRounded
    XMargin = 2
    YMargin = 2
  end
end
