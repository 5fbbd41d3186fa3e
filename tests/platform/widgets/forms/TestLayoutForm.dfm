object TestLayoutForm: TTestLayoutForm
  Left = 100
  Top = 80
  Caption = 'Layout'
  ClientHeight = 300
  ClientWidth = 400
  KeyPreview = True
  OnCreate = FormCreate
  OnKeyDown = FormKeyDown
  object Top1: TTestPanel
    Left = 0
    Top = 0
    Width = 400
    Height = 30
    Align = alTop
  end
  object Bottom1: TTestPanel
    Left = 0
    Top = 280
    Width = 400
    Height = 20
    Align = alBottom
  end
  object Left1: TTestPanel
    Left = 0
    Top = 30
    Width = 50
    Height = 250
    Align = alLeft
  end
  object Right1: TTestPanel
    Left = 360
    Top = 30
    Width = 40
    Height = 250
    Align = alRight
  end
  object Client1: TTestPanel
    Left = 50
    Top = 30
    Width = 310
    Height = 250
    Align = alClient
    object Inner: TTestBox
      Left = 10
      Top = 10
      Width = 100
      Height = 20
      Anchors = [akLeft, akTop, akRight]
      Hint = 'Inner box|The box inside'
      ShowHint = True
      TabOrder = 1
      TabStop = True
    end
    object Corner: TTestBox
      Left = 270
      Top = 210
      Width = 30
      Height = 30
      Anchors = [akRight, akBottom]
      TabOrder = 0
      TabStop = True
      OnKeyDown = CornerKeyDown
    end
    object Middle: TTestBox
      Left = 140
      Top = 110
      Width = 30
      Height = 30
      Anchors = []
      TabOrder = 2
      TabStop = False
    end
  end
end
