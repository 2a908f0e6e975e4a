-- From the first version of the books to the second, SQLite dialect; runs in one transaction.
-- 操作员 gets room for a password hash and a role. A CHECK cannot be altered in SQLite, so the
-- small table is rebuilt under the same name with its columns in the same order; everyone who
-- could log in before keeps every right (店长).
CREATE TABLE 操作员_新 (
    用户名 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(用户名) <= 50),
    密码 VARCHAR(200) NOT NULL CHECK (length(密码) <= 200),
    角色 VARCHAR(10) NOT NULL DEFAULT '营业员' CHECK (角色 IN ('店长', '营业员'))
);

INSERT INTO 操作员_新 (用户名, 密码, 角色) SELECT 用户名, 密码, '店长' FROM 操作员;

DROP TABLE 操作员;

ALTER TABLE 操作员_新 RENAME TO 操作员;

ALTER TABLE 进 ADD COLUMN 录入员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(录入员) <= 50);

ALTER TABLE 销 ADD COLUMN 营业员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(营业员) <= 50);

CREATE TABLE 日志 (
    序号 INTEGER NOT NULL PRIMARY KEY,
    时间 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME CHECK (apricot_is_datetime(时间)),
    操作员 VARCHAR(50) NOT NULL CHECK (length(操作员) <= 50),
    动作 VARCHAR(50) NOT NULL CHECK (length(动作) <= 50),
    对象 VARCHAR(100) NOT NULL CHECK (length(对象) <= 100),
    内容 TEXT NOT NULL CHECK (typeof(内容) = 'text'),
    校验 VARCHAR(64) NOT NULL CHECK (length(校验) <= 64)
);

CREATE INDEX 日志_时间 ON 日志 (时间);

CREATE TABLE 账套版本 (
    版本 INTEGER NOT NULL CHECK (typeof(版本) = 'integer')
);

INSERT INTO 账套版本 (版本) VALUES (2);
