-- Demo users of the simulated board, put into its master.db while that holds no user:
-- 1001 with a FeliCa card, 1002 with a Type A card (4-byte ID padded as the card receiver
-- pads it), 1003 without a card, 1004 with a prohibited card (permission 3).
INSERT INTO master (user_id, name, kana, group_code, auth, password, mail, note) VALUES
  (1001, '山田太郎', 'ヤマダタロウ', '', 0, '', '', ''),
  (1002, '佐藤花子', 'サトウハナコ', '', 0, '', '', ''),
  (1003, '鈴木一郎', 'スズキイチロウ', '', 0, '', '', ''),
  (1004, '高橋次郎', 'タカハシジロウ', '', 0, '', '', '');
INSERT INTO card (card_id, card_type, id_length, reg_datetime, user_id, reserved) VALUES
  ('0123456789ABCDEF', 'FeliCa', 8, 0, 1001, 0),
  ('04A1B2C300000000', 'TypeA', 4, 0, 1002, 0),
  ('CLEAR', '', 0, 0, 1003, 0),
  ('0123456789ABCD04', 'FeliCa', 8, 0, 1004, 0);
INSERT INTO card_auth (card_id, card_text, id_length, reg_datetime, auth) VALUES
  ('0123456789ABCD04', '', 8, 0, 3);
