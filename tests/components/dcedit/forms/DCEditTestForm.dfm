object DCEditTestForm: TDCEditTestForm
  Left = 100
  Top = 80
  BorderStyle = bsDialog
  Caption = 'Directories'
  ClientHeight = 170
  ClientWidth = 320
  OnCreate = FormCreate
  object First: TEdit
    Left = 8
    Top = 8
    Width = 121
    Height = 21
    TabOrder = 0
  end
  object SpoolDir: TDCDirectoryEdit
    Left = 8
    Top = 40
    Width = 240
    Height = 21
    MultipleDirs = False
    AcceptFiles = False
    Button1.Width = 0
    Button1.Cursor = crDefault
    Button1.Kind = bkCustom
    Button1.NumGlyphs = 1
    Button1.Visible = True
    Button2.Kind = bkDots
    Button2.Visible = False
    Flat = False
    ReadOnly = False
    TabOrder = 1
    TabStop = True
    OnChange = SpoolDirChange
    object TPopupListBox
      Width = 121
      Height = 93
      TabStop = False
      ItemHeight = 13
    end
  end
  object ExtractDir: TDCDirectoryEdit
    Left = 8
    Top = 72
    Width = 240
    Height = 21
    MultipleDirs = True
    AcceptFiles = True
    InitialDir = '/tmp'
    Button2.Kind = bkDots
    Button2.Visible = False
    TabOrder = 2
    OnChange = ExtractDirChange
    OnDropFiles = ExtractDirDropFiles
    object TPopupListBox
      Width = 121
      Height = 93
      TabStop = False
      ItemHeight = 13
    end
  end
  object Last: TButton
    Left = 8
    Top = 130
    Width = 75
    Height = 25
    Caption = 'OK'
    TabOrder = 3
  end
end
