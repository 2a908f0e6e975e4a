-- A new set of books at the newest version, PostgreSQL dialect. Same widths as on SQLite.

CREATE TABLE 操作员 (
    用户名 VARCHAR(50) NOT NULL PRIMARY KEY,
    密码 VARCHAR(200) NOT NULL,
    角色 VARCHAR(10) NOT NULL DEFAULT '营业员' CHECK (角色 IN ('店长', '营业员'))
);

CREATE TABLE 进 (
    采购日期 TIMESTAMP NOT NULL,
    采购人 VARCHAR(200) NOT NULL,
    大类 VARCHAR(200) NOT NULL,
    小类 VARCHAR(200) NOT NULL,
    编号 VARCHAR(200) NOT NULL,
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    批号 VARCHAR(200) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    进价 DOUBLE PRECISION NOT NULL,
    数量 DOUBLE PRECISION NOT NULL,
    录入员 VARCHAR(50) NOT NULL DEFAULT '',
    单号 VARCHAR(50) NOT NULL DEFAULT ''
);

CREATE INDEX 进_采购日期 ON 进 (采购日期);
-- Every entry its own number, made by the program before it is sent. A row written by a
-- statement that names no 单号 (an older program's, a described INSERT) keeps it empty.
CREATE UNIQUE INDEX 进_单号 ON 进 (单号) WHERE 单号 <> '';

CREATE TABLE 存 (
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    平均成本单价 DOUBLE PRECISION NOT NULL,
    现有存货量 DOUBLE PRECISION NOT NULL,
    PRIMARY KEY (名称, 产地, 规格型号, 有效截止日期)
);
-- The cards a sale or a stock-take left below 0, found without reading every card.
CREATE INDEX 存_负库存 ON 存 (名称, 产地, 规格型号, 有效截止日期) WHERE 现有存货量 < 0;

CREATE TABLE 销 (
    日期时间 TIMESTAMP NOT NULL,
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    零售价 DOUBLE PRECISION NOT NULL,
    数量 DOUBLE PRECISION NOT NULL,
    销售类型 VARCHAR(100) NOT NULL,
    实收金额 DOUBLE PRECISION NOT NULL,
    坏帐 DOUBLE PRECISION NOT NULL,
    营业员 VARCHAR(50) NOT NULL DEFAULT '',
    单号 VARCHAR(50) NOT NULL DEFAULT '',
    小票号 VARCHAR(100) NOT NULL DEFAULT '',
    冲正单号 VARCHAR(50) NOT NULL DEFAULT '',
    支付方式 VARCHAR(20) NOT NULL DEFAULT ''
);

-- The time stamp tells the time only: sales of one second on several counters are all kept.
CREATE INDEX 销_日期时间 ON 销 (日期时间);
CREATE UNIQUE INDEX 销_单号 ON 销 (单号) WHERE 单号 <> '';
-- A reversing sale names the sale it reverses; a sale is reversed at most once.
CREATE UNIQUE INDEX 销_冲正单号 ON 销 (冲正单号) WHERE 冲正单号 <> '';

-- The sales of one card, for the join with its stock card starting from 存.
CREATE INDEX 销_存货卡 ON 销 (名称, 产地, 规格型号, 有效截止日期);

-- The drug catalogue: one row per drug by the three words the cards use; a drug's first
-- barcode in 药品.条形码, any further ones in 药品条码.
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

-- Every change the program makes, one row each, chained by 校验.
CREATE TABLE 日志 (
    序号 BIGINT NOT NULL PRIMARY KEY,
    时间 TIMESTAMP NOT NULL,
    操作员 VARCHAR(50) NOT NULL,
    动作 VARCHAR(50) NOT NULL,
    对象 VARCHAR(100) NOT NULL,
    内容 TEXT NOT NULL,
    校验 VARCHAR(64) NOT NULL,
    单号 VARCHAR(50) NOT NULL DEFAULT '',
    行校验 TEXT NOT NULL DEFAULT ''
);

CREATE INDEX 日志_时间 ON 日志 (时间);
-- An entry whose reply was lost is looked up by its number.
CREATE INDEX 日志_单号 ON 日志 (单号);

-- Stock that leaves other than by sale, and what a stock-take finds.
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
    单号 VARCHAR(50) NOT NULL DEFAULT ''
);

CREATE INDEX 损_日期时间 ON 损 (日期时间);
CREATE UNIQUE INDEX 损_单号 ON 损 (单号) WHERE 单号 <> '';

-- Books without this table are of the first version.
CREATE TABLE 账套版本 (
    版本 INTEGER NOT NULL
);

INSERT INTO 账套版本 (版本) VALUES (8);

INSERT INTO 操作员 (用户名, 密码, 角色) VALUES ('管理员', '737', '店长');
