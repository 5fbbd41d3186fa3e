object FormMain: TFormMain
  Left = 192
  Top = -7
  Caption = 'Orvalin Kestro'#13#10'x'
  Quote = 'it''s'
  Empty = ''
  Ratio = 0.5
  Big = 1e+20
  Whole = 100.0
  Font.Name = 'MS Sans Serif'
  Align = alClient
  Images = Form2.ImageList1
  Anchors = [akLeft, akTop]
  NoAnchors = []
  Items.Strings = (
    'a'
    'b'
    42
    (
      nested))
  NoItems = ()
  Hint =
    'This hint is long enough to be cut into pieces of sixty-four byt' +
    'es each, and the rest goes on the next line.'
  Glyph.Data = {
    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
    FF}
  NoData = {}
  Bars = <
    item
      Caption = 'Main Menu'
      Links = <
        item
          Visible = False
        end>
    end
    item
    end>
  NoBars = <>
  OnCreate = FormCreate
  object Panel1: TPanel
    object TPopupListBox
    end
  end
  inherited Old: TPanel [2]
  end
  inline Frame1: TFrame1
  end
end
