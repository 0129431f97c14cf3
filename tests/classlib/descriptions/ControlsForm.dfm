object ControlsTestForm: TControlsTestForm
  Left = 100
  Top = 80
  BorderStyle = bsSingle
  Caption = 'Controls'
  ClientHeight = 200
  ClientWidth = 300
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'Tahoma'
  OldCreateOrder = False
  Position = poDesigned
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Edit1: TTestWin
    Left = 8
    Top = 8
    Width = 100
    Height = 21
    Caption = 'first'
    TabOrder = 1
    OnClick = Edit1Click
  end
  object Edit2: TTestWin
    Left = 8
    Top = 40
    Width = 100
    Height = 21
    Anchors = [akTop, akRight]
    Caption = 'second'
    TabOrder = 0
  end
  object ScrollBox1: TScrollBox
    Left = 0
    Top = 0
    Width = 300
    Height = 100
    Align = alBottom
    Color = clSkyBlue
    TabOrder = 2
    object Shape1: TTestGraphic
      Left = 0
      Top = 0
      Width = 400
      Height = 150
    end
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 20
  end
end
