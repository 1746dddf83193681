-- master.db (and the empty reload template def/master.db): users, their cards and the
-- per-card permission list. Card IDs are upper-case hexadecimal text, or 'CLEAR' for a user
-- without a card. Times are seconds since 1970 (local clock).
CREATE TABLE master (
  user_id    INTEGER NOT NULL,
  name       TEXT,
  kana       TEXT,
  group_code TEXT,
  auth       INTEGER,
  password   TEXT,
  mail       TEXT,
  note       TEXT
);
CREATE INDEX master_user_id ON master (user_id);

CREATE TABLE card (
  card_id      TEXT NOT NULL,
  card_type    TEXT,
  id_length    INTEGER,
  reg_datetime INTEGER,
  user_id      INTEGER NOT NULL,
  reserved     INTEGER
);
CREATE INDEX card_card_id ON card (card_id COLLATE NOCASE);
CREATE INDEX card_user_id ON card (user_id);

CREATE TABLE card_auth (
  card_id      TEXT NOT NULL,
  card_text    TEXT,
  id_length    INTEGER,
  reg_datetime INTEGER,
  auth         INTEGER
);
CREATE INDEX card_auth_card_id ON card_auth (card_id COLLATE NOCASE);
