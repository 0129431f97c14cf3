object Root: TComponent
  Tag = 5
  object A: TComponent
    Left = 16
    Top = 8
    X = [a, b]
    Y = (1 2.5 's'#13 {0AFF})
    Z = <
      item
        W = 1
      end>
  end
end
