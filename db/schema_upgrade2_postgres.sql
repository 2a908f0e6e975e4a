-- From the first version of the books to the second, PostgreSQL dialect; runs in one
-- transaction. Everyone who could log in before keeps every right (店长).
ALTER TABLE 操作员 ALTER COLUMN 密码 TYPE VARCHAR(200);

ALTER TABLE 操作员 ADD COLUMN 角色 VARCHAR(10) NOT NULL DEFAULT '营业员'
    CHECK (角色 IN ('店长', '营业员'));

UPDATE 操作员 SET 角色 = '店长';

ALTER TABLE 进 ADD COLUMN 录入员 VARCHAR(50) NOT NULL DEFAULT '';

ALTER TABLE 销 ADD COLUMN 营业员 VARCHAR(50) NOT NULL DEFAULT '';

CREATE TABLE 日志 (
    序号 BIGINT NOT NULL PRIMARY KEY,
    时间 TIMESTAMP NOT NULL,
    操作员 VARCHAR(50) NOT NULL,
    动作 VARCHAR(50) NOT NULL,
    对象 VARCHAR(100) NOT NULL,
    内容 TEXT NOT NULL,
    校验 VARCHAR(64) NOT NULL
);

CREATE INDEX 日志_时间 ON 日志 (时间);

CREATE TABLE 账套版本 (
    版本 INTEGER NOT NULL
);

INSERT INTO 账套版本 (版本) VALUES (2);
