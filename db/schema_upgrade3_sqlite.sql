-- From the second version of the books to the third, SQLite dialect; runs in one transaction.
-- Stock that leaves other than by sale (or is found by a stock-take) gets a record of its own.
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
    PRIMARY KEY (日期时间)
);

CREATE TRIGGER 损_数字_新 AFTER INSERT ON 损
WHEN NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL) OR NEW.成本单价 <> CAST(printf('%!.15g', NEW.成本单价) AS REAL)
BEGIN
    UPDATE 损 SET 数量 = CAST(printf('%!.15g', 数量) AS REAL), 成本单价 = CAST(printf('%!.15g', 成本单价) AS REAL) WHERE rowid = NEW.rowid;
END;

UPDATE 账套版本 SET 版本 = 3;
