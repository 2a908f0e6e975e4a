-- From the sixth version of the books to the seventh, PostgreSQL dialect; runs in one transaction.
-- Trace codes, box by box, and the rules the counters on these books share. Nothing else
-- changes; the new tables start empty.
-- Every box by its trace code: one row per code, unique across every counter on the books,
-- with the card it belongs to, where it stands, the purchase that brought it in and the entry
-- that took it out. 剩余 counts the pieces left in an opened box.
CREATE TABLE 追溯码 (
    追溯码 VARCHAR(60) NOT NULL PRIMARY KEY,
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    批号 VARCHAR(100) NOT NULL DEFAULT '',
    状态 VARCHAR(10) NOT NULL DEFAULT '在库' CHECK (状态 IN ('在库', '拆零中', '已售', '报损', '退货')),
    剩余 DOUBLE PRECISION NOT NULL DEFAULT 0 CHECK (剩余 >= 0),
    进货单号 VARCHAR(40) NOT NULL DEFAULT '',
    入库时间 VARCHAR(19) NOT NULL DEFAULT '',
    出库单号 VARCHAR(40) NOT NULL DEFAULT '',
    出库时间 VARCHAR(19) NOT NULL DEFAULT '',
    出库操作员 VARCHAR(50) NOT NULL DEFAULT ''
);
-- A card's opened box, found without reading every code; an entry's codes by its number.
CREATE INDEX 追溯码_药盒 ON 追溯码 (名称, 产地, 规格型号, 有效截止日期, 状态);
CREATE INDEX 追溯码_出库单号 ON 追溯码 (出库单号);

-- Every movement of a code out: the code's story and an entry's codes (序号: its place in the
-- entry). 数量 is 1 for a box, the pieces for a split-pack sale.
CREATE TABLE 追溯码去向 (
    追溯码 VARCHAR(60) NOT NULL,
    单号 VARCHAR(40) NOT NULL,
    动作 VARCHAR(10) NOT NULL CHECK (动作 IN ('售出', '拆零', '报损', '退货', '冲正')),
    数量 DOUBLE PRECISION NOT NULL,
    时间 VARCHAR(19) NOT NULL,
    操作员 VARCHAR(50) NOT NULL DEFAULT '',
    序号 INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (追溯码, 单号)
);
CREATE INDEX 追溯码去向_单号 ON 追溯码去向 (单号);

-- The rules every counter on these books shares, one row each (absent: the rule's default).
CREATE TABLE 账套设置 (
    名称 VARCHAR(50) NOT NULL PRIMARY KEY,
    值 VARCHAR(200) NOT NULL DEFAULT ''
);

UPDATE 账套版本 SET 版本 = 7;
