-- Display defaults and portal pages. @PORTAL@ is replaced by the build with the
-- address of the project's own portal server; no outside host is ever named here.
INSERT INTO 系统参数 VALUES ('字体', '宋体');
INSERT INTO 系统参数 VALUES ('字号', '14px');
INSERT INTO 系统参数 VALUES ('工具栏字号', '12px');
INSERT INTO 系统参数 VALUES ('颜色', '#000000');
INSERT INTO 系统参数 VALUES ('背景色', '#EFF8FF');
INSERT INTO 系统参数 VALUES ('行间距', '140');
INSERT INTO 系统参数 VALUES ('软件品牌', '启思');
INSERT INTO 系统参数 VALUES ('软件区域', '全国版');
INSERT INTO 系统参数 VALUES ('资源信息', '@PORTAL@/qlr/article/resource.html');
INSERT INTO 系统参数 VALUES ('广告位1', '@PORTAL@/qlr/ad/banner1.html');
INSERT INTO 系统参数 VALUES ('广告位2', '@PORTAL@/qlr/ad/banner2.html');
INSERT INTO 系统参数 VALUES ('广告位3', '@PORTAL@/qlr/ad/slot3.html');
INSERT INTO 系统参数 VALUES ('招考信息', '@PORTAL@/qlr/article/news.html');
INSERT INTO 系统参数 VALUES ('职位查询', '@PORTAL@/qlr/jobs/search.html');
INSERT INTO 系统参数 VALUES ('讨论区', '@PORTAL@/qlr/forum/index.html');
INSERT INTO 系统参数 VALUES ('考试网站', '@PORTAL@/qlr/exam/index.html');
