object dxBarSubMenuEditor: TdxBarSubMenuEditor
  Left = 300
  Top = 200
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSingle
  Caption = 'VizirizEvev SubMenu Editor'
  ClientHeight = 0
  ClientWidth = 160
  OnCreate = FormCreate
  PixelsPerInch = 96
end
