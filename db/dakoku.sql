-- dakoku.db: every stamp of the terminal. Times are seconds since 1970 (local clock); date is
-- the local midnight that starts the stamp's working day; flag ' ' valid, 'D' cancelled;
-- send 0 unsent, 1 being sent, otherwise the upload time. rowid is a stamp's handle.
CREATE TABLE dakoku (
  user_id         INTEGER NOT NULL,
  insert_datetime INTEGER NOT NULL,
  date            INTEGER NOT NULL,
  stamptime       INTEGER NOT NULL,
  kubun           INTEGER NOT NULL,
  flag            TEXT NOT NULL DEFAULT ' ',
  send            INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX dakoku_insert_datetime ON dakoku (insert_datetime);
CREATE INDEX dakoku_send ON dakoku (send);
CREATE INDEX dakoku_user_id ON dakoku (user_id, insert_datetime);
