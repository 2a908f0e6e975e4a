-- From the second version of the books to the third, PostgreSQL dialect; runs in one
-- transaction. Stock that leaves other than by sale (or is found by a stock-take) gets a
-- record of its own.
CREATE TABLE 损 (
    日期时间 TIMESTAMP NOT NULL,
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    数量 DOUBLE PRECISION NOT NULL,
    成本单价 DOUBLE PRECISION NOT NULL,
    原因 VARCHAR(20) NOT NULL CHECK (原因 IN ('过期', '破损', '退回供应商', '盘亏', '盘盈', '其他')),
    去向 VARCHAR(200) NOT NULL DEFAULT '',
    操作员 VARCHAR(50) NOT NULL,
    备注 VARCHAR(200) NOT NULL DEFAULT '',
    PRIMARY KEY (日期时间)
);

UPDATE 账套版本 SET 版本 = 3;
