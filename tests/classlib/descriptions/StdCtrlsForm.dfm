object StdCtrlsTestForm: TStdCtrlsTestForm
  Left = 40
  Top = 40
  BorderStyle = bsSingle
  Caption = 'Standard controls'
  ClientHeight = 200
  ClientWidth = 320
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'Tahoma'
  Position = poDesigned
  object Label1: TLabel
    Left = 8
    Top = 12
    Width = 60
    Height = 13
    Caption = '&Name'
    FocusControl = Edit1
  end
  object Edit1: TEdit
    Left = 80
    Top = 8
    Width = 121
    Height = 21
    TabOrder = 0
    TextHint = 'Your name'
    OnChange = Edit1Change
    OnEnter = ControlEnter
    OnExit = ControlExit
  end
  object ComboBox1: TComboBox
    Left = 80
    Top = 40
    Width = 100
    Height = 21
    TabOrder = 1
    Text = 'Portrait'
    OnChange = ComboBox1Change
    OnSelect = ComboBox1Select
    OnEnter = ControlEnter
    OnExit = ControlExit
    Items.Strings = (
      'Portrait'
      'Landscape')
  end
  object OkButton: TButton
    Left = 80
    Top = 80
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
    OnClick = OkButtonClick
    OnEnter = ControlEnter
    OnExit = ControlExit
  end
  object CancelButton: TButton
    Left = 160
    Top = 80
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 3
  end
  object BannerEdit: TEdit
    Left = 8
    Top = 160
    Width = 281
    Height = 22
    Color = clMoneyGreen
    ReadOnly = True
    TabOrder = 4
    Text = 'Korvane: read only'
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 10
    OnTimer = Timer1Timer
  end
end
