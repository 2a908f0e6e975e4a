-- From the seventh version of the books to the eighth, PostgreSQL dialect; runs in one transaction.
-- The pharmacists among the operators and the prescription and ephedrine registers. Nothing
-- else changes; the new tables start empty.
-- Licensed pharmacists (执业药师) among the operators: who may go on duty, and review a
-- prescription.
CREATE TABLE 执业药师 (
    用户名 VARCHAR(50) NOT NULL PRIMARY KEY
);

-- A prescription sales were made on (处方号: its own number), with the pharmacist on duty who
-- reviewed it and the operator who dispensed it. 处方日期 is a day, yyyy-MM-dd.
CREATE TABLE 处方 (
    处方号 VARCHAR(50) NOT NULL PRIMARY KEY,
    患者姓名 VARCHAR(50) NOT NULL,
    性别 VARCHAR(2) NOT NULL CHECK (性别 IN ('男', '女')),
    年龄 INTEGER NOT NULL CHECK (年龄 BETWEEN 0 AND 150),
    处方医师 VARCHAR(50) NOT NULL,
    医疗机构 VARCHAR(100) NOT NULL,
    处方日期 VARCHAR(10) NOT NULL,
    审方药师 VARCHAR(50) NOT NULL,
    调配人 VARCHAR(50) NOT NULL,
    登记时间 VARCHAR(19) NOT NULL
);
CREATE INDEX 处方_登记时间 ON 处方 (登记时间);

-- The sales a prescription served, one row a sale (销's 单号), with the batch it came from.
CREATE TABLE 处方销售 (
    单号 VARCHAR(50) NOT NULL PRIMARY KEY,
    处方号 VARCHAR(50) NOT NULL,
    批号 VARCHAR(200) NOT NULL DEFAULT ''
);
CREATE INDEX 处方销售_处方号 ON 处方销售 (处方号);

-- Every sale of a product containing ephedrine, one row a sale (销's 单号): the buyer whose ID
-- card was checked, the batch, and the prescription when it was sold on one.
CREATE TABLE 麻黄碱登记 (
    单号 VARCHAR(50) NOT NULL PRIMARY KEY,
    姓名 VARCHAR(50) NOT NULL,
    身份证号 VARCHAR(18) NOT NULL,
    批号 VARCHAR(200) NOT NULL DEFAULT '',
    处方号 VARCHAR(50) NOT NULL DEFAULT '',
    时间 VARCHAR(19) NOT NULL
);
-- A buyer's purchases of the last days, on every counter.
CREATE INDEX 麻黄碱登记_身份证号 ON 麻黄碱登记 (身份证号, 时间);
CREATE INDEX 麻黄碱登记_时间 ON 麻黄碱登记 (时间);

UPDATE 账套版本 SET 版本 = 8;
