object PreviewForm: TPreviewForm
  Left = 0
  Top = 0
  Caption = 'Print Preview - Korvane'
  ClientHeight = 541
  ClientWidth = 1050
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poDefaultPosOnly
  WindowState = wsMaximized
  OnClose = FormClose
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Panel2: TPanel
    Left = 0
    Top = 0
    Width = 1050
    Height = 45
    Align = alTop
    ParentShowHint = False
    ShowHint = True
    TabOrder = 0
    object SBZoomIn: TSpeedButton
      Left = 9
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Zoom In'
      NumGlyphs = 2
      OnClick = SBZoomInClick
    end
    object SBZoomOut: TSpeedButton
      Left = 36
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Zoom Out'
      NumGlyphs = 2
      OnClick = SBZoomOutClick
    end
    object SBZoomPageWidth: TSpeedButton
      Left = 62
      Top = 9
      Width = 28
      Height = 27
      Hint = 'Zoom Page Width'
      NumGlyphs = 2
      Visible = False
    end
    object SBZoomPage: TSpeedButton
      Left = 89
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Zoom Whole Page'
      NumGlyphs = 2
      Visible = False
    end
    object SBFirstPage: TSpeedButton
      Left = 116
      Top = 9
      Width = 27
      Height = 27
      Hint = 'First Page'
      NumGlyphs = 2
      OnClick = SBFirstPageClick
    end
    object SBPrevPage: TSpeedButton
      Left = 142
      Top = 9
      Width = 28
      Height = 27
      Hint = 'Previous Page'
      NumGlyphs = 2
      OnClick = SBPrevPageClick
    end
    object SBNextPage: TSpeedButton
      Left = 169
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Next Page'
      NumGlyphs = 2
      OnClick = SBNextPageClick
    end
    object SBLastPage: TSpeedButton
      Left = 196
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Last Page'
      NumGlyphs = 2
      OnClick = SBLastPageClick
    end
    object SBPrint: TSpeedButton
      Left = 222
      Top = 9
      Width = 28
      Height = 27
      Hint = 'Print'
      NumGlyphs = 2
      OnClick = SBPrintClick
    end
    object SBDone: TSpeedButton
      Left = 249
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Exit'
      NumGlyphs = 2
      OnClick = SBDoneClick
    end
    object Label1: TLabel
      Left = 288
      Top = 14
      Width = 41
      Height = 18
      Alignment = taRightJustify
      AutoSize = False
      Caption = 'Zoom'
    end
    object Label2: TLabel
      Left = 400
      Top = 14
      Width = 52
      Height = 18
      Alignment = taRightJustify
      AutoSize = False
      Caption = 'Page #'
    end
    object PageLabel: TLabel
      Left = 556
      Top = 14
      Width = 101
      Height = 18
      AutoSize = False
      Caption = 'Page 1 of 1'
    end
    object ZoomComboBox: TComboBox
      Left = 336
      Top = 13
      Width = 73
      Height = 21
      TabOrder = 1
      Text = '100%'
      OnChange = ZoomComboBoxChange
      Items.Strings = (
        '35%'
        '50%'
        '71%'
        '100%'
        '141%'
        '200%')
    end
    object PageEdit: TEdit
      Left = 459
      Top = 12
      Width = 54
      Height = 22
      Hint = 'Current page'
      AutoSize = False
      TabOrder = 0
      Text = '1'
      OnChange = PageEditChange
    end
    object UpDown1: TUpDown
      Left = 513
      Top = 12
      Width = 15
      Height = 22
      Associate = PageEdit
      Min = 1
      Max = 0
      Position = 1
      TabOrder = 2
    end
  end
  object ScrollBox1: TScrollBox
    Left = 0
    Top = 45
    Width = 1050
    Height = 496
    Align = alClient
    Color = clSkyBlue
    ParentColor = False
    TabOrder = 1
    object Image1: TImage
      Left = 0
      Top = 0
      Width = 1000
      Height = 435
      OnMouseDown = Image1MouseDown
    end
  end
  object PrintDialog: TPrintDialog
    Options = [poPrintToFile, poPageNums, poSelection, poWarning]
    Left = 8
    Top = 56
  end
end
