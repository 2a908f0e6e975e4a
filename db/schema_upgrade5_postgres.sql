-- From the fourth version of the books to the fifth, PostgreSQL dialect; runs in one
-- transaction. Each log row of an entry carries the digest of the row it wrote (行校验), and a
-- reversing sale names the sale it reverses. The opening stock (期初) is logged by the program
-- in the same transaction.
ALTER TABLE 销 ADD COLUMN 冲正单号 VARCHAR(50) NOT NULL DEFAULT '';
CREATE UNIQUE INDEX 销_冲正单号 ON 销 (冲正单号) WHERE 冲正单号 <> '';

ALTER TABLE 日志 ADD COLUMN 行校验 TEXT NOT NULL DEFAULT '';

UPDATE 账套版本 SET 版本 = 5;
