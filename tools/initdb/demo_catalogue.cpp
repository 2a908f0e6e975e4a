#include "demo_catalogue.h"

#include "ean13.h"
#include "pack_model.h"

#include <cstring>

const std::vector<DemoDrug>& DemoDrugs() {
    static const std::vector<DemoDrug> drugs = {
        {"YP001", "阿莫西林胶囊", "石药集团", "0.25g*24粒", "西药", "抗生素", 8.50, 24, 0, 0},
        {"YP002", "头孢氨苄胶囊", "华北制药", "0.125g*30粒", "西药", "抗生素", 6.80, 30, 0, 0},
        {"YP003", "罗红霉素片", "哈药集团", "150mg*12片", "西药", "抗生素", 9.20, 12, 0, 0},
        {"YP004", "左氧氟沙星片", "扬子江药业", "0.1g*10片", "西药", "抗生素", 12.60, 10, 0, 0},
        {"YP005", "布洛芬缓释胶囊", "中美天津史克", "0.3g*20粒", "西药", "解热镇痛", 15.80, 20, 0,
         0},
        {"YP006", "对乙酰氨基酚片", "上海信谊", "0.5g*12片", "西药", "解热镇痛", 3.20, 12, 40, 0},
        {"YP007", "复方甘草片", "北京双鹤", "100片/瓶", "西药", "止咳化痰", 4.50, 100, 0, 0},
        {"YP008", "盐酸氨溴索片", "上海勃林格殷格翰", "30mg*20片", "西药", "止咳化痰", 18.50, 20, 0,
         0},
        {"YP009", "氯雷他定片", "海南海灵", "10mg*6片", "西药", "抗过敏", 16.20, 6, 0, 0},
        {"YP010", "奥美拉唑肠溶胶囊", "常州四药", "20mg*14粒", "西药", "消化系统", 11.40, 14, 0, 0},
        {"YP011", "多潘立酮片", "西安杨森", "10mg*30片", "西药", "消化系统", 13.60, 30, 0, 0},
        {"YP012", "蒙脱石散", "博福-益普生", "3g*10袋", "西药", "消化系统", 14.20, 10, 0, 0},
        {"YP013", "硝苯地平缓释片", "青岛黄海", "10mg*30片", "西药", "心脑血管", 7.80, 30, 0, 0},
        {"YP014", "阿司匹林肠溶片", "拜耳医药", "100mg*30片", "西药", "心脑血管", 12.50, 30, 0, 0},
        {"YP015", "盐酸二甲双胍片", "中美上海施贵宝", "0.5g*20片", "西药", "降糖药", 9.60, 20, 0,
         0},
        {"YP016", "维生素C片", "东北制药", "0.1g*100片", "西药", "维生素", 2.80, 100, 15, 0},
        {"YP017", "复方氨酚烷胺片", "吉林吴太", "0.25g*12片", "西药", "感冒药", 6.50, 12, 0, 0},
        {"YP018", "氨咖黄敏胶囊", "广州白云山", "0.25g*24粒", "西药", "感冒药", 4.20, 24, 0, 0},
        {"YP019", "红霉素软膏", "上海衡山", "10g:1%", "西药", "皮肤用药", 2.60, 0, 0, 0},
        {"ZY001", "感冒灵颗粒", "华润三九", "10g*9袋", "中成药", "感冒药", 9.80, 9, 0, 0},
        {"ZY002", "板蓝根颗粒", "广州白云山", "10g*20袋", "中成药", "清热解毒", 8.90, 20, 0, 0},
        {"ZY003", "连花清瘟胶囊", "石家庄以岭", "0.35g*24粒", "中成药", "清热解毒", 16.50, 24, 0,
         0},
        {"ZY004", "双黄连口服液", "哈药集团三精", "10ml*10支", "中成药", "清热解毒", 13.80, 10, 0,
         0},
        {"ZY005", "藿香正气水", "太极集团", "10ml*10支", "中成药", "消化系统", 7.60, 10, 8, 0},
        {"ZY006", "六味地黄丸", "北京同仁堂", "200丸/瓶", "中成药", "滋补", 18.00, 0, 0, 0},
        {"ZY007", "牛黄解毒片", "北京同仁堂", "0.27g*24片", "中成药", "清热解毒", 3.50, 24, 55, 0},
        {"ZY008", "川贝枇杷膏", "京都念慈菴", "150ml/瓶", "中成药", "止咳化痰", 28.50, 0, 0, -12},
        {"ZY009", "复方丹参滴丸", "天士力", "27mg*180丸", "中成药", "心脑血管", 26.80, 0, 0, 0},
        {"ZY010", "银翘解毒片", "杭州胡庆余堂", "0.5g*36片", "中成药", "感冒药", 5.40, 36, 0, 0},
        {"ZY011", "云南白药胶囊", "云南白药集团", "0.25g*16粒", "中成药", "外伤用药", 22.00, 16, 0,
         0},
        {"ZY012", "健胃消食片", "江中药业", "0.8g*32片", "中成药", "消化系统", 9.50, 32, 0, 0},
        {"ZY013", "小柴胡颗粒", "广州白云山光华", "10g*10袋", "中成药", "感冒药", 11.20, 10, 0, 0},
        {"ZY014", "安神补脑液", "吉林敖东", "10ml*10支", "中成药", "滋补", 19.80, 0, 0, 0},
        {"BJ001", "善存多维元素片", "惠氏制药", "60片/瓶", "保健品", "维生素", 68.00, 0, 0, 0},
        {"BJ002", "钙尔奇碳酸钙D3片", "惠氏制药", "600mg*60片", "保健品", "矿物质", 58.50, 0, 0, 0},
        {"BJ003", "蛋白质粉", "汤臣倍健", "450g/罐", "保健品", "营养补充", 168.00, 0, 0, -7},
        {"BJ004", "鱼油软胶囊", "汤臣倍健", "1000mg*100粒", "保健品", "营养补充", 89.00, 0, 0, 0},
        {"BJ005", "西洋参含片", "广州香雪", "0.6g*36片", "保健品", "滋补", 32.00, 0, 0, 0},
        {"BJ006", "蜂胶软胶囊", "北京同仁堂", "0.5g*60粒", "保健品", "营养补充", 75.00, 0, 0, -3},
        {"BJ007", "葡萄糖酸锌口服液", "哈药集团三精", "10ml*12支", "保健品", "矿物质", 21.60, 0, 0,
         0},
    };
    return drugs;
}

QStringList DemoPurchasers() {
    return {QStringLiteral("张明"), QStringLiteral("李芳"), QStringLiteral("王强"),
            QStringLiteral("赵静")};
}

DemoListing DemoListingOf(int index) {
    const DemoDrug& drug = DemoDrugs().at(static_cast<size_t>(index));
    // "692000" and the drug's place in the list, then the check digit.
    const QString first12 = QStringLiteral("692000%1").arg(index + 1, 6, 10, QLatin1Char('0'));
    DemoListing listing;
    listing.barcode = first12 + QString::number(*ean13::CheckDigit(first12));

    const QString code = QString::fromUtf8(drug.code);
    static const QStringList prescription{"YP001", "YP002", "YP003", "YP004",
                                          "YP013", "YP014", "YP015"};
    static const QStringList classA{"YP005", "YP007", "YP008", "YP009",
                                    "YP011", "YP017", "YP018", "ZY003"};
    if (prescription.contains(code))
        listing.drugClass = QStringLiteral("处方药");
    else if (classA.contains(code))
        listing.drugClass = QStringLiteral("甲类非处方药");
    else if (std::strcmp(drug.category, "保健品") == 0)
        listing.drugClass = QStringLiteral("其他");
    else
        listing.drugClass = QStringLiteral("乙类非处方药");
    // The cold medicine the register of ephedrine sales is shown with.
    listing.ephedrine = code == QStringLiteral("YP017");

    // A pack that names no pieces (a tube, a bottle of syrup) is sold whole, one to the box.
    const std::optional<CPieces> pieces = packmodel::PiecesOf(QString::fromUtf8(drug.packModel));
    listing.pieces = pieces ? pieces->count : 1;
    listing.unit = pieces ? pieces->unit : QStringLiteral("盒");
    return listing;
}
