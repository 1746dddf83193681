-- setting.db: the terminal's settings, the key-type manual of the settings screens, the
-- cloud download counters, the communication times, the terminal identity, and the Wi-Fi and
-- proxy tables. The program never creates or alters a table; this file is the schema.

-- One integer item per row. The first three columns are read by position (item key, value,
-- update time); item is the English key of the cloud services, jname the Japanese item name of
-- the screens. An empty item key keeps a purely local item out of every cloud report.
CREATE TABLE setting (
  item        TEXT NOT NULL DEFAULT '',
  value       INTEGER,
  update_time INTEGER NOT NULL DEFAULT 0,
  jname       TEXT NOT NULL,
  min         INTEGER,
  max         INTEGER
);
CREATE UNIQUE INDEX setting_jname ON setting (jname);
CREATE INDEX setting_item ON setting (item);

-- How the settings screens edit an item (the menu title is the name): keytype names the keypad.
CREATE TABLE manual (
  name    TEXT NOT NULL,
  jname   TEXT NOT NULL,
  keytype TEXT NOT NULL,
  report  TEXT NOT NULL DEFAULT '',
  method  TEXT NOT NULL DEFAULT ''
);
CREATE UNIQUE INDEX manual_name ON manual (name);

CREATE TABLE data_update (
  kind_num    INTEGER PRIMARY KEY,
  count       INTEGER NOT NULL DEFAULT 0,
  update_time INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE tsushin (
  jname        TEXT PRIMARY KEY,
  updated_time INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE info (
  unique_key TEXT,
  serv_url   TEXT
);

CREATE TABLE wifi (
  jname    TEXT PRIMARY KEY,
  ssid     TEXT NOT NULL DEFAULT '',
  password TEXT NOT NULL DEFAULT '',
  security TEXT NOT NULL DEFAULT ''
);

CREATE TABLE proxy (
  jname    TEXT PRIMARY KEY,
  id       TEXT NOT NULL DEFAULT '',
  password TEXT NOT NULL DEFAULT ''
);

-- Factory settings. Times of day and bands are minutes after midnight (-1 = none / off),
-- addresses one octet per item (-1 = not set).
INSERT INTO setting (item, value, jname, min, max) VALUES
  -- stamping: working-day change per stamp group and the double-stamp window
  ('shukkin_higawari',           0,   '出勤日替時刻',             0,    1439),
  ('taikin_higawari',            0,   '退勤日替時刻',             0,    1439),
  ('gaishutsu_sainyuu_higawari', 0,   '外出再入日替時刻',         0,    1439),
  ('nijuu_dakoku_sec',           60,  '二重打刻の有効秒数',       0,    999),
  -- clock screen: mode windows, display, touch priority, operation mode, door-lock pulse
  ('shukkin_mode_start',         -1,  '出勤モード(開始)',         -1,   1439),
  ('shukkin_mode_end',           -1,  '出勤モード(終了)',         -1,   1439),
  ('taikin_mode_start',          -1,  '退勤モード(開始)',         -1,   1439),
  ('taikin_mode_end',            -1,  '退勤モード(終了)',         -1,   1439),
  ('higawari_taikin_start',      0,   '日替退勤有効時刻帯(開始)', -1,   1439),
  ('higawari_taikin_end',        360, '日替退勤有効時刻帯(終了)', -1,   1439),
  ('tokei_hyouji',               1,   '時計表示',                 0,    1),
  ('touch_yusen',                0,   'タッチ選択優先',           0,    1),
  ('touch_yusen_sec',            10,  'タッチ選択優先秒数',       1,    99),
  ('clock_modori_min',           3,   '時計に戻る時間',           1,    99),
  ('dousa_mode',                 1,   '動作モード',               1,    4),
  ('setten_shutsuryoku_sec',     3,   '接点出力秒数',             1,    99),
  -- sound and backlight
  ('onsei_mode',                 1,   '音声モード',               0,    1),
  ('touch_volume',               2,   'タッチ音量',               0,    3),
  ('card_volume',                2,   'カード読取音量',           0,    3),
  ('backlight_min',              10,  'バックライト点灯時間',     0,    99),
  -- system clock (entered on the terminal, never reported), NTP and the daily reboot
  ('',                           2024, '年月日設定1',             2016, 2037),
  ('',                           1,   '年月日設定2',              1,    12),
  ('',                           1,   '年月日設定3',              1,    31),
  ('',                           0,   '時刻設定',                 0,    1439),
  ('ntp_use',                    0,   'NTPサーバーを使用',        0,    1),
  ('ntp_server0',                -1,  'NTPサーバー0',             0,    255),
  ('ntp_server1',                -1,  'NTPサーバー1',             0,    255),
  ('ntp_server2',                -1,  'NTPサーバー2',             0,    255),
  ('ntp_server3',                -1,  'NTPサーバー3',             0,    255),
  ('reboot_time',                180, 'リブート時刻',             -1,   1439),
  -- scheduled data request: seconds after the hour and cycle
  ('start_sec',                  0,   '通信開始秒',               0,    3599),
  ('cycle_sec',                  3600, '通信周期',                60,   86400),
  -- administrator
  ('admin_password',             0,   '管理者パスワード',         0,    999999),
  -- network: interface, address mode, wired and wireless addresses, web port, proxy
  ('musen_lan',                  0,   '無線LAN',                  0,    1),
  ('dhcp',                       1,   'DHCPの設定',               0,    1),
  ('dns_auto',                   1,   'DNSの設定',                0,    1),
  ('ip_address0',                192, 'IPアドレス0',              0,    255),
  ('ip_address1',                168, 'IPアドレス1',              0,    255),
  ('ip_address2',                0,   'IPアドレス2',              0,    255),
  ('ip_address3',                100, 'IPアドレス3',              0,    255),
  ('subnet_mask0',               255, 'サブネットマスク0',        0,    255),
  ('subnet_mask1',               255, 'サブネットマスク1',        0,    255),
  ('subnet_mask2',               255, 'サブネットマスク2',        0,    255),
  ('subnet_mask3',               0,   'サブネットマスク3',        0,    255),
  ('gateway0',                   192, 'ゲートウェイ0',            0,    255),
  ('gateway1',                   168, 'ゲートウェイ1',            0,    255),
  ('gateway2',                   0,   'ゲートウェイ2',            0,    255),
  ('gateway3',                   1,   'ゲートウェイ3',            0,    255),
  ('dns0',                       192, 'DNS0',                     0,    255),
  ('dns1',                       168, 'DNS1',                     0,    255),
  ('dns2',                       0,   'DNS2',                     0,    255),
  ('dns3',                       1,   'DNS3',                     0,    255),
  ('ip_address_wlan0',           192, 'IPアドレス(無線)0',        0,    255),
  ('ip_address_wlan1',           168, 'IPアドレス(無線)1',        0,    255),
  ('ip_address_wlan2',           0,   'IPアドレス(無線)2',        0,    255),
  ('ip_address_wlan3',           101, 'IPアドレス(無線)3',        0,    255),
  ('subnet_mask_wlan0',          255, 'サブネットマスク(無線)0',  0,    255),
  ('subnet_mask_wlan1',          255, 'サブネットマスク(無線)1',  0,    255),
  ('subnet_mask_wlan2',          255, 'サブネットマスク(無線)2',  0,    255),
  ('subnet_mask_wlan3',          0,   'サブネットマスク(無線)3',  0,    255),
  ('gateway_wlan0',              192, 'ゲートウェイ(無線)0',      0,    255),
  ('gateway_wlan1',              168, 'ゲートウェイ(無線)1',      0,    255),
  ('gateway_wlan2',              0,   'ゲートウェイ(無線)2',      0,    255),
  ('gateway_wlan3',              1,   'ゲートウェイ(無線)3',      0,    255),
  ('dns_wlan0',                  192, 'DNS(無線)0',               0,    255),
  ('dns_wlan1',                  168, 'DNS(無線)1',               0,    255),
  ('dns_wlan2',                  0,   'DNS(無線)2',               0,    255),
  ('dns_wlan3',                  1,   'DNS(無線)3',               0,    255),
  ('port_number',                80,  'ポート番号',               1,    65535),
  ('proxy_use',                  0,   'プロキシ設定',             0,    1),
  ('proxy_auth',                 0,   'プロキシ認証',             0,    1),
  ('proxy_address0',             -1,  'プロキシアドレス0',        0,    255),
  ('proxy_address1',             -1,  'プロキシアドレス1',        0,    255),
  ('proxy_address2',             -1,  'プロキシアドレス2',        0,    255),
  ('proxy_address3',             -1,  'プロキシアドレス3',        0,    255),
  ('proxy_port',                 8080, 'プロキシポート番号',      1,    65535);

-- The key type of every item a settings menu shows, by its menu title.
INSERT INTO manual (name, jname, keytype, report, method) VALUES
  ('出勤日替時刻',         '出勤日替時刻',         '時刻',           '出勤打刻の日付が変わる時刻',       '時刻を4桁で入力'),
  ('退勤日替時刻',         '退勤日替時刻',         '時刻',           '退勤打刻の日付が変わる時刻',       '時刻を4桁で入力'),
  ('外出再入日替時刻',     '外出再入日替時刻',     '時刻',           '外出・再入打刻の日付が変わる時刻', '時刻を4桁で入力'),
  ('出勤モード',           '出勤モード',           '時間帯なし',     '出勤を自動選択する時間帯',         '開始と終了を4桁ずつ入力'),
  ('退勤モード',           '退勤モード',           '時間帯なし',     '退勤を自動選択する時間帯',         '開始と終了を4桁ずつ入力'),
  ('日替退勤有効時刻帯',   '日替退勤有効時刻帯',   '時間帯なし',     '日替退を打刻できる時間帯',         '開始と終了を4桁ずつ入力'),
  ('時計表示',             '時計表示',             '1224',           '時計の表示形式',                   '12Hか24Hを選択'),
  ('タッチ選択優先',       'タッチ選択優先',       'するしない',     '選択した区分を優先する',           'するかしないを選択'),
  ('タッチ選択優先秒数',   'タッチ選択優先秒数',   '秒',             '選択した区分を保つ秒数',           '秒数を入力'),
  ('時計に戻る時間',       '時計に戻る時間',       '分',             '時計画面に戻るまでの分数',         '分数を入力'),
  ('音声モード',           '音声モード',           '音声モード',     '打刻時の音',                       '効果音か音声を選択'),
  ('タッチ音量',           'タッチ音量',           '音量',           'タッチ時の音量',                   '音量を選択'),
  ('カード読取音量',       'カード読取音量',       '音量',           'カード読取時の音量',               '音量を選択'),
  ('バックライト点灯時間', 'バックライト点灯時間', '分',             'バックライトが消えるまでの分数',   '分数を入力(0は常時点灯)'),
  ('二重打刻の有効秒数',   '二重打刻の有効秒数',   '秒３桁',         '二重打刻を取り消す秒数',           '秒数を入力'),
  ('年月日設定',           '年月日設定',           '年月日設定',     '本体の日付',                       '年月日を8桁で入力'),
  ('時刻設定',             '時刻設定',             '時刻設定',       '本体の時刻',                       '時刻を4桁で入力'),
  ('NTPサーバーを使用',    'NTPサーバーを使用',    '使用するしない', 'NTPで時刻を合わせる',              '使用するかしないを選択'),
  ('NTPサーバー',          'NTPサーバー',          'アドレスPING',   'NTPサーバーのアドレス',            'アドレスを入力'),
  ('リブート時刻',         'リブート時刻',         '時刻なし',       '毎日再起動する時刻',               '時刻を4桁で入力'),
  ('接点出力秒数',         '接点出力秒数',         '秒',             '電気錠の出力秒数',                 '秒数を入力'),
  ('管理者パスワード',     '管理者パスワード',     'パスワード',     '管理者のパスワード',               '6桁で入力'),
  ('動作モード',           '動作モード',           '動作モード',     '打刻画面の動作',                   'モードを選択'),
  ('IPアドレス',           'IPアドレス',           'アドレス',       '有線LANのアドレス',                'アドレスを入力'),
  ('サブネットマスク',     'サブネットマスク',     'アドレス',       '有線LANのサブネットマスク',        'アドレスを入力'),
  ('ゲートウェイ',         'ゲートウェイ',         'アドレスPING',   '有線LANのゲートウェイ',            'アドレスを入力'),
  ('DNS',                  'DNS',                  'アドレスPING',   '有線LANのDNSサーバー',             'アドレスを入力'),
  ('IPアドレス(無線)',     'IPアドレス(無線)',     'アドレス',       '無線LANのアドレス',                'アドレスを入力'),
  ('サブネットマスク(無線)', 'サブネットマスク(無線)', 'アドレス',   '無線LANのサブネットマスク',        'アドレスを入力'),
  ('ゲートウェイ(無線)',   'ゲートウェイ(無線)',   'アドレスPING',   '無線LANのゲートウェイ',            'アドレスを入力'),
  ('DNS(無線)',            'DNS(無線)',            'アドレスPING',   '無線LANのDNSサーバー',             'アドレスを入力'),
  ('ポート番号',           'ポート番号',           'ポート番号',     '本体のWebサーバーのポート',        '番号を入力'),
  ('無線LAN',              '無線LAN',              '使用するしない', '無線LANを使う',                    '使用するかしないを選択'),
  ('DHCPの設定',           'DHCPの設定',           '自動手動',       'アドレスをDHCPで取得する',         '自動か手動を選択'),
  ('DNSの設定',            'DNSの設定',            '自動手動',       'DNSサーバーをDHCPで取得する',      '自動か手動を選択'),
  ('プロキシ設定',         'プロキシ設定',         '使用するしない', 'プロキシを使う',                   '使用するかしないを選択'),
  ('プロキシ認証',         'プロキシ認証',         'するしない',     'プロキシの認証',                   'するかしないを選択'),
  ('プロキシアドレス',     'プロキシアドレス',     'アドレス',       'プロキシのアドレス',               'アドレスを入力'),
  ('プロキシポート番号',   'プロキシポート番号',   'ポート番号',     'プロキシのポート',                 '番号を入力');

-- Data kinds of the cloud download: 0 to 10 (SOAP service), 33, 40 and 47 (JSON service).
INSERT INTO data_update (kind_num) VALUES (0), (1), (2), (3), (4), (5), (6), (7), (8), (9), (10), (33), (40), (47);

INSERT INTO tsushin (jname) VALUES ('バックアップ'), ('リストア');
INSERT INTO info (unique_key, serv_url) VALUES ('', '');
INSERT INTO wifi (jname, security) VALUES ('無線LAN設定', 'WPA2');
INSERT INTO proxy (jname) VALUES ('プロキシ認証');
