object SampleForm: TTestForm
  Caption = 'Embedded'
  OnClick = FormCreate
  object Button1: TTestButton
    Left = 32
    Caption = 'Preview'
    OnClick = ButtonClick
  end
end
