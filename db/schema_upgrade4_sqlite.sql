-- From the third version of the books to the fourth, SQLite dialect; runs in one transaction.
-- Every entry gets its own number (单号); a time stamp tells the time only, so sales and losses
-- of one second are all kept. Rows from before get a number of their own here.
ALTER TABLE 进 ADD COLUMN 单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50);
UPDATE 进 SET 单号 = lower(hex(randomblob(16)));
CREATE UNIQUE INDEX 进_单号 ON 进 (单号) WHERE 单号 <> '';

-- 销 and 损 were keyed by their stamp: SQLite changes a key only by building the table anew.
ALTER TABLE 销 RENAME TO 销_旧;
CREATE TABLE 销 (
    日期时间 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME CHECK (apricot_is_datetime(日期时间)),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    零售价 DOUBLE NOT NULL CHECK (typeof(零售价) IN ('integer', 'real')),
    数量 DOUBLE NOT NULL CHECK (typeof(数量) IN ('integer', 'real')),
    销售类型 VARCHAR(100) NOT NULL CHECK (length(销售类型) <= 100),
    实收金额 DOUBLE NOT NULL CHECK (typeof(实收金额) IN ('integer', 'real')),
    坏帐 DOUBLE NOT NULL CHECK (typeof(坏帐) IN ('integer', 'real')),
    营业员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(营业员) <= 50),
    单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50),
    小票号 VARCHAR(100) NOT NULL DEFAULT '' CHECK (length(小票号) <= 100)
);

INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, 实收金额, 坏帐, 营业员, 单号)
SELECT 日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, 实收金额, 坏帐, 营业员, lower(hex(randomblob(16))) FROM 销_旧;
DROP TABLE 销_旧;
CREATE INDEX 销_日期时间 ON 销 (日期时间);
CREATE UNIQUE INDEX 销_单号 ON 销 (单号) WHERE 单号 <> '';
CREATE INDEX 销_存货卡 ON 销 (名称, 产地, 规格型号, 有效截止日期);

CREATE TRIGGER 销_数字_新 AFTER INSERT ON 销
WHEN NEW.零售价 <> CAST(printf('%!.15g', NEW.零售价) AS REAL) OR NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL) OR NEW.实收金额 <> CAST(printf('%!.15g', NEW.实收金额) AS REAL) OR NEW.坏帐 <> CAST(printf('%!.15g', NEW.坏帐) AS REAL)
BEGIN
    UPDATE 销 SET 零售价 = CAST(printf('%!.15g', 零售价) AS REAL), 数量 = CAST(printf('%!.15g', 数量) AS REAL), 实收金额 = CAST(printf('%!.15g', 实收金额) AS REAL), 坏帐 = CAST(printf('%!.15g', 坏帐) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 销_数字_改 AFTER UPDATE OF 零售价, 数量, 实收金额, 坏帐 ON 销
WHEN NEW.零售价 <> CAST(printf('%!.15g', NEW.零售价) AS REAL) OR NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL) OR NEW.实收金额 <> CAST(printf('%!.15g', NEW.实收金额) AS REAL) OR NEW.坏帐 <> CAST(printf('%!.15g', NEW.坏帐) AS REAL)
BEGIN
    UPDATE 销 SET 零售价 = CAST(printf('%!.15g', 零售价) AS REAL), 数量 = CAST(printf('%!.15g', 数量) AS REAL), 实收金额 = CAST(printf('%!.15g', 实收金额) AS REAL), 坏帐 = CAST(printf('%!.15g', 坏帐) AS REAL) WHERE rowid = NEW.rowid;
END;

ALTER TABLE 损 RENAME TO 损_旧;
CREATE TABLE 损 (
    日期时间 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME CHECK (apricot_is_datetime(日期时间)),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    数量 DOUBLE NOT NULL CHECK (typeof(数量) IN ('integer', 'real')),
    成本单价 DOUBLE NOT NULL CHECK (typeof(成本单价) IN ('integer', 'real')),
    原因 VARCHAR(20) NOT NULL CHECK (原因 IN ('过期', '破损', '退回供应商', '盘亏', '盘盈', '其他')),
    去向 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(去向) <= 200),
    操作员 VARCHAR(50) NOT NULL CHECK (length(操作员) <= 50),
    备注 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(备注) <= 200),
    单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50)
);

INSERT INTO 损 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 数量, 成本单价, 原因, 去向, 操作员, 备注, 单号)
SELECT 日期时间, 名称, 产地, 规格型号, 有效截止日期, 数量, 成本单价, 原因, 去向, 操作员, 备注, lower(hex(randomblob(16))) FROM 损_旧;
DROP TABLE 损_旧;
CREATE INDEX 损_日期时间 ON 损 (日期时间);
CREATE UNIQUE INDEX 损_单号 ON 损 (单号) WHERE 单号 <> '';

CREATE TRIGGER 损_数字_新 AFTER INSERT ON 损
WHEN NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL) OR NEW.成本单价 <> CAST(printf('%!.15g', NEW.成本单价) AS REAL)
BEGIN
    UPDATE 损 SET 数量 = CAST(printf('%!.15g', 数量) AS REAL), 成本单价 = CAST(printf('%!.15g', 成本单价) AS REAL) WHERE rowid = NEW.rowid;
END;

ALTER TABLE 日志 ADD COLUMN 单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50);
CREATE INDEX 日志_单号 ON 日志 (单号);

UPDATE 账套版本 SET 版本 = 4;
