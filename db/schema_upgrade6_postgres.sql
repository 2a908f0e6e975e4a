-- From the fifth version of the books to the sixth, PostgreSQL dialect; runs in one transaction.
-- The drug catalogue: one row per drug as a pharmacist names it, by the three words the cards
-- use (名称, 产地, 规格型号), with its barcode, class, pieces per box and prices. A drug sold
-- under a second barcode (a new pack) keeps the first in 药品.条形码 and the others in 药品条码.
-- 销 records how each sale was paid.
CREATE TABLE 药品 (
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    条形码 VARCHAR(50) NOT NULL DEFAULT '',
    批准文号 VARCHAR(100) NOT NULL DEFAULT '',
    类别 VARCHAR(20) NOT NULL DEFAULT '其他' CHECK (类别 IN ('处方药', '甲类非处方药', '乙类非处方药', '其他')),
    含麻黄碱 VARCHAR(2) NOT NULL DEFAULT '否' CHECK (含麻黄碱 IN ('是', '否')),
    每盒总量 DOUBLE PRECISION NOT NULL DEFAULT 20 CHECK (每盒总量 > 0),
    拆零单位 VARCHAR(10) NOT NULL DEFAULT '片',
    零售价 DOUBLE PRECISION NOT NULL DEFAULT 0 CHECK (零售价 >= 0),
    拆零价 DOUBLE PRECISION NOT NULL DEFAULT 0 CHECK (拆零价 >= 0),
    拼音码 VARCHAR(100) NOT NULL DEFAULT '',
    PRIMARY KEY (名称, 产地, 规格型号)
);
CREATE UNIQUE INDEX 药品_条形码 ON 药品 (条形码) WHERE 条形码 <> '';

CREATE TABLE 药品条码 (
    条形码 VARCHAR(50) NOT NULL PRIMARY KEY,
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL
);

ALTER TABLE 销 ADD COLUMN 支付方式 VARCHAR(20) NOT NULL DEFAULT '';

-- Every drug the cards and purchases name, priced as it was last sold: a box's price from its
-- latest whole-box sale, a piece's from its latest split-pack sale (0 where it never was).
INSERT INTO 药品 (名称, 产地, 规格型号, 零售价, 拆零价)
SELECT d.名称, d.产地, d.规格型号,
       COALESCE((SELECT s.零售价 FROM 销 s WHERE s.名称 = d.名称 AND s.产地 = d.产地 AND s.规格型号 = d.规格型号
                 AND s.销售类型 = '整盒销售' AND s.冲正单号 = '' AND s.零售价 >= 0
                 ORDER BY s.日期时间 DESC LIMIT 1), 0),
       COALESCE((SELECT s.零售价 FROM 销 s WHERE s.名称 = d.名称 AND s.产地 = d.产地 AND s.规格型号 = d.规格型号
                 AND s.销售类型 = '拆零销售' AND s.冲正单号 = '' AND s.零售价 >= 0
                 ORDER BY s.日期时间 DESC LIMIT 1), 0)
FROM (SELECT 名称, 产地, 规格型号 FROM 存 UNION SELECT 名称, 产地, 规格型号 FROM 进) d;

UPDATE 账套版本 SET 版本 = 6;

-- The cards a sale or a stock-take left below 0, found without reading every card.
CREATE INDEX 存_负库存 ON 存 (名称, 产地, 规格型号, 有效截止日期) WHERE 现有存货量 < 0;
