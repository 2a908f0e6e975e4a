-- From the third version of the books to the fourth, PostgreSQL dialect; runs in one
-- transaction. Every entry gets its own number (单号); a time stamp tells the time only, so
-- sales and losses of one second are all kept. Rows from before get a number of their own here.
ALTER TABLE 进 ADD COLUMN 单号 VARCHAR(50) NOT NULL DEFAULT '';
UPDATE 进 SET 单号 = gen_random_uuid()::text;
CREATE UNIQUE INDEX 进_单号 ON 进 (单号) WHERE 单号 <> '';

ALTER TABLE 销 DROP CONSTRAINT 销_pkey;
ALTER TABLE 销 ADD COLUMN 单号 VARCHAR(50) NOT NULL DEFAULT '';
ALTER TABLE 销 ADD COLUMN 小票号 VARCHAR(100) NOT NULL DEFAULT '';
UPDATE 销 SET 单号 = gen_random_uuid()::text;
CREATE INDEX 销_日期时间 ON 销 (日期时间);
CREATE UNIQUE INDEX 销_单号 ON 销 (单号) WHERE 单号 <> '';

ALTER TABLE 损 DROP CONSTRAINT 损_pkey;
ALTER TABLE 损 ADD COLUMN 单号 VARCHAR(50) NOT NULL DEFAULT '';
UPDATE 损 SET 单号 = gen_random_uuid()::text;
CREATE INDEX 损_日期时间 ON 损 (日期时间);
CREATE UNIQUE INDEX 损_单号 ON 损 (单号) WHERE 单号 <> '';

ALTER TABLE 日志 ADD COLUMN 单号 VARCHAR(50) NOT NULL DEFAULT '';
CREATE INDEX 日志_单号 ON 日志 (单号);

UPDATE 账套版本 SET 版本 = 4;
