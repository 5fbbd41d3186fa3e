object FormMain: TTestForm
  Left = 192
  Caption = 'Orvalin Kestro'#13#10'x'
  OnCreate = FormCreate
  object Panel1: TTestPanel
    Tag = 3
    Align = alClient
    Left = 0
    Caption = 'Status'
    Color = clWindow
    Anchors = [akLeft, akTop, akRight]
    Ratio = 2.5
    Accel = 'S'
    Percent = 100
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -13
    Font.Name = 'Courier New'
    Font.Style = [fsBold, fsItalic]
    Items.Strings = (
      'a'
      'b')
    Buddy = Panel2
    OnClick = ButtonClick
    object Panel2: TTestPanel
      Left = 8
      Caption = 'Inner'
      Color = 1193046
      Visible = False
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = []
      Buddy = Panel1
    end
  end
  object Manager: TTestManager
    Bars = <
      item
        Caption = 'Main Menu'
        DockControl = Panel2
      end
      item
        Caption = 'Toolbar'
        Row = 1
        Visible = False
      end>
    DockControlHeights = (
      0
      0
      49
      0)
    Glyph = {
      0102}
  end
end
