-- From the sixth version of the books to the seventh, SQLite dialect; runs in one transaction.
-- Trace codes, box by box, and the rules the counters on these books share. Nothing else
-- changes; the new tables start empty.
-- Every box by its trace code: one row per code, unique across every counter on the books,
-- with the card it belongs to, where it stands, the purchase that brought it in and the entry
-- that took it out. 剩余 counts the pieces left in an opened box.
CREATE TABLE 追溯码 (
    追溯码 VARCHAR(60) NOT NULL PRIMARY KEY CHECK (length(追溯码) <= 60),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    批号 VARCHAR(100) NOT NULL DEFAULT '' CHECK (length(批号) <= 100),
    状态 VARCHAR(10) NOT NULL DEFAULT '在库' CHECK (状态 IN ('在库', '拆零中', '已售', '报损', '退货')),
    剩余 DOUBLE NOT NULL DEFAULT 0 CHECK (typeof(剩余) IN ('integer', 'real') AND 剩余 >= 0),
    进货单号 VARCHAR(40) NOT NULL DEFAULT '' CHECK (length(进货单号) <= 40),
    入库时间 VARCHAR(19) NOT NULL DEFAULT '' CHECK (length(入库时间) <= 19),
    出库单号 VARCHAR(40) NOT NULL DEFAULT '' CHECK (length(出库单号) <= 40),
    出库时间 VARCHAR(19) NOT NULL DEFAULT '' CHECK (length(出库时间) <= 19),
    出库操作员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(出库操作员) <= 50)
);
-- A card's opened box, found without reading every code; an entry's codes by its number.
CREATE INDEX 追溯码_药盒 ON 追溯码 (名称, 产地, 规格型号, 有效截止日期, 状态);
CREATE INDEX 追溯码_出库单号 ON 追溯码 (出库单号);

CREATE TRIGGER 追溯码_数字_新 AFTER INSERT ON 追溯码
WHEN NEW.剩余 <> CAST(printf('%!.15g', NEW.剩余) AS REAL)
BEGIN
    UPDATE 追溯码 SET 剩余 = CAST(printf('%!.15g', 剩余) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 追溯码_数字_改 AFTER UPDATE OF 剩余 ON 追溯码
WHEN NEW.剩余 <> CAST(printf('%!.15g', NEW.剩余) AS REAL)
BEGIN
    UPDATE 追溯码 SET 剩余 = CAST(printf('%!.15g', 剩余) AS REAL) WHERE rowid = NEW.rowid;
END;

-- Every movement of a code out: the code's story and an entry's codes (序号: its place in the
-- entry). 数量 is 1 for a box, the pieces for a split-pack sale.
CREATE TABLE 追溯码去向 (
    追溯码 VARCHAR(60) NOT NULL CHECK (length(追溯码) <= 60),
    单号 VARCHAR(40) NOT NULL CHECK (length(单号) <= 40),
    动作 VARCHAR(10) NOT NULL CHECK (动作 IN ('售出', '拆零', '报损', '退货', '冲正')),
    数量 DOUBLE NOT NULL CHECK (typeof(数量) IN ('integer', 'real')),
    时间 VARCHAR(19) NOT NULL CHECK (length(时间) <= 19),
    操作员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(操作员) <= 50),
    序号 INTEGER NOT NULL DEFAULT 0 CHECK (typeof(序号) = 'integer'),
    PRIMARY KEY (追溯码, 单号)
);
CREATE INDEX 追溯码去向_单号 ON 追溯码去向 (单号);

CREATE TRIGGER 追溯码去向_数字_新 AFTER INSERT ON 追溯码去向
WHEN NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL)
BEGIN
    UPDATE 追溯码去向 SET 数量 = CAST(printf('%!.15g', 数量) AS REAL) WHERE rowid = NEW.rowid;
END;

-- The rules every counter on these books shares, one row each (absent: the rule's default).
CREATE TABLE 账套设置 (
    名称 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(名称) <= 50),
    值 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(值) <= 200)
);

UPDATE 账套版本 SET 版本 = 7;
