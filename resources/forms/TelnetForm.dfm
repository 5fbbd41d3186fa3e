object TelnetForm: TTelnetForm
  Left = 240
  Top = 160
  BorderStyle = bsDialog
  Caption = 'Orvalin Kestro Telnet'
  ClientHeight = 412
  ClientWidth = 660
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  object ServerEdit: TEdit
    Left = 8
    Top = 8
    Width = 177
    Height = 21
    TabOrder = 0
    Text = '127.0.0.1'
  end
  object TelnetPort: TCheckBox
    Left = 196
    Top = 10
    Width = 85
    Height = 17
    Caption = 'Telnet Port'
    State = cbChecked
    TabOrder = 1
    OnClick = TelnetPortClick
  end
  object PortEdit: TEdit
    Left = 284
    Top = 8
    Width = 57
    Height = 21
    Enabled = False
    TabOrder = 2
    Text = '23'
  end
  object BtnConnect: TButton
    Left = 404
    Top = 6
    Width = 79
    Height = 25
    Caption = 'Connect'
    Default = True
    TabOrder = 3
    OnClick = BtnConnectClick
  end
  object BtnDisconnect: TButton
    Left = 488
    Top = 6
    Width = 79
    Height = 25
    Caption = 'Disconnect'
    Enabled = False
    TabOrder = 4
    OnClick = BtnDisconnectClick
  end
  object BtnExit: TButton
    Left = 572
    Top = 6
    Width = 79
    Height = 25
    Caption = 'Exit'
    TabOrder = 5
    OnClick = BtnExitClick
  end
  object IpTerminal1: TIpTerminal
    Left = 8
    Top = 38
    Width = 644
    Height = 366
    Color = clBlack
    Emulator = IpVT100Emulator1
    ScrollbackRows = 24
    TabOrder = 6
  end
  object IpVT100Emulator1: TIpVT100Emulator
    Answerback = 'Kestro Terminal'
    DisplayUpperASCII = True
  end
end
