object ShellTestForm: TShellTestForm
  Left = 100
  Top = 100
  Caption = 'Links'
  ClientHeight = 120
  ClientWidth = 320
  object Panel1: TPanel
    Left = 10
    Top = 60
    Width = 300
    Height = 50
    Caption = 'Drop boxes here'
  end
  object Home: TOvcURL
    Left = 16
    Top = 12
    URL = 'https://kestro.example/'
    UseVisitedColor = True
    VisitedColor = clPurple
  end
  object Mail: TOvcURL
    Left = 16
    Top = 34
    Caption = 'Mail the author'
    URL = 'mailto:author@kestro.example'
  end
  object DropFiles1: TStDropFiles
    DropTarget = Panel1
    OnDropFiles = Dropped
  end
  object OwnDrop: TStDropFiles
    Active = False
  end
end
