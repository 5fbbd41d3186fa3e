object TrayTestForm: TTrayTestForm
  Left = 150
  Top = 120
  Caption = 'Tray'
  ClientHeight = 120
  ClientWidth = 240
  OnCloseQuery = FormCloseQuery
  object TrayIcon1: TStTrayIcon
    Hint = 'Orvalin Kestro'
    MinimizeToTray = True
    OnDblClick = TrayIconDblClick
  end
end
