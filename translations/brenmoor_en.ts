<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutBox</name>
    <message>
        <source>构建于 %1，使用 Qt %2（运行中的 Qt %3）。</source>
        <translation>Built on %1 with Qt %2 (running with Qt %3).</translation>
    </message>
    <message>
        <source>Brenmoor 以 MIT 许可证发布：可自由使用、复制、修改和分发。许可证全文在详细信息中。</source>
        <translation>Brenmoor is released under the MIT licence: free to use, copy, change and share. The licence&apos;s full text is in the details.</translation>
    </message>
    <message>
        <source>随附的第三方软件（Qt 等）及其许可证：</source>
        <translation>The third-party software it comes with (Qt and others) and their licences:</translation>
    </message>
    <message>
        <source>关于 Brenmoor</source>
        <translation>About Brenmoor</translation>
    </message>
    <message>
        <source>关于 Qt…</source>
        <translation>About Qt…</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>第 %1 行：</source>
        <translation>Line %1: </translation>
    </message>
    <message>
        <source>第 %1 行 %2：</source>
        <translation>Line %1, %2: </translation>
    </message>
    <message>
        <source>第 %1 行，%2 列：</source>
        <translation>Line %1, column %2: </translation>
    </message>
    <message>
        <source>第 %1 行 %2，%3 列：</source>
        <translation>Line %1, %2, column %3: </translation>
    </message>
    <message>
        <source>可用的材料名称：%1。</source>
        <translation>Valid material names: %1.</translation>
    </message>
</context>
<context>
    <name>FileDialog</name>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>柱截面纤维</source>
        <translation>Column section fibers</translation>
    </message>
    <message>
        <source>柱高度H(mm)</source>
        <translation>Height H mm</translation>
    </message>
    <message>
        <source>柱宽度B(mm)</source>
        <translation>Width B mm</translation>
    </message>
    <message>
        <source>X方向划分数Fx</source>
        <translation>X divisions Fx</translation>
    </message>
    <message>
        <source>Y方向划分数FY</source>
        <translation>Y divisions FY</translation>
    </message>
    <message>
        <source>X方向钢筋数NX</source>
        <translation>X bars NX</translation>
    </message>
    <message>
        <source>Y方向钢筋数NY</source>
        <translation>Y bars NY</translation>
    </message>
    <message>
        <source>X方向钢筋面积Ax</source>
        <translation>X bar area Ax</translation>
    </message>
    <message>
        <source>Y方向钢筋面积Ay</source>
        <translation>Y bar area Ay</translation>
    </message>
    <message>
        <source>角筋面积Acor</source>
        <translation>Corner Acor</translation>
    </message>
    <message>
        <source>钢筋至边距cc </source>
        <translation>Bar to face cc</translation>
    </message>
    <message>
        <source>材料</source>
        <translation>Materials</translation>
    </message>
    <message>
        <source>截面名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>混凝土材料</source>
        <translation>Concrete</translation>
    </message>
    <message>
        <source>钢筋材料</source>
        <translation>Steel</translation>
    </message>
    <message>
        <source>生成PERFORM3D导入数据</source>
        <translation>Generate PERFORM3D import data</translation>
    </message>
    <message>
        <source>导入多个数据表格</source>
        <translation>Import section table</translation>
    </message>
    <message>
        <source>Brenmoor
使用说明：
(2)纤维柱截面导入前，确定P3D有相应的材料名字的材料属性
(3)纤维总数不能超过60个
(4)截面抗剪抗扭参数已经自动计算
(5)X方向指3轴，Y方向指2轴，方向钢筋不包括角筋面积
(5)钢筋质心至边距cc是指钢筋受力中心至边距，非保护层
(6)输入参数采用导入CSV表格形式（参考sample.csv文件）
(7)纵筋统一名称改为STEEL,程序自动识别</source>
        <translation>Brenmoor
Usage notes:
(2) Before importing, define materials of these names in P3D
(3) At most 60 fibers per section
(4) Shear and torsion properties are computed for you
(5) X is axis 3, Y is axis 2; face bar areas exclude corner bars
(5) cc is from the bar&apos;s centroid to the face, not the cover
(6) Input is a CSV table (see sample.csv)
(7) Name the bar material STEEL; it is recognised</translation>
    </message>
</context>
<context>
    <name>WindowProgress</name>
    <message>
        <source>正在读取截面</source>
        <translation>Reading sections</translation>
    </message>
    <message>
        <source>正在计算截面</source>
        <translation>Computing sections</translation>
    </message>
    <message>
        <source>正在写入截面</source>
        <translation>Writing sections</translation>
    </message>
    <message>
        <source>正在绘制报告页</source>
        <translation>Drawing report pages</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在计算承载力</source>
        <translation>Computing capacity</translation>
    </message>
    <message>
        <source>正在计算 N–M 曲线</source>
        <translation>Computing interaction curves</translation>
    </message>
    <message>
        <source>正在绘制承载力页</source>
        <translation>Drawing capacity pages</translation>
    </message>
    <message>
        <source>正在计算双向弯曲</source>
        <translation>Computing biaxial bending</translation>
    </message>
    <message>
        <source>正在寻找最佳网格</source>
        <translation>Searching the best grids</translation>
    </message>
    <message>
        <source>正在计算弯矩–曲率</source>
        <translation>Computing moment-curvature</translation>
    </message>
    <message>
        <source>正在计算分析用弯矩–曲率</source>
        <translation>Computing analysis curves</translation>
    </message>
</context>
<context>
    <name>brenmoor::CapacityDialog</name>
    <message>
        <source>N–M 曲线，绕 x 轴</source>
        <translation>N–M, bending about x</translation>
    </message>
    <message>
        <source>N–M 曲线，绕 y 轴</source>
        <translation>N–M, bending about y</translation>
    </message>
    <message>
        <source>Mx (kN·m)</source>
        <translation>Mx (kN·m)</translation>
    </message>
    <message>
        <source>My (kN·m)</source>
        <translation>My (kN·m)</translation>
    </message>
    <message>
        <source>N (kN)</source>
        <translation>N (kN)</translation>
    </message>
    <message>
        <source>φ (1/m)</source>
        <translation>φ (1/m)</translation>
    </message>
    <message>
        <source>M (kN·m)</source>
        <translation>M (kN·m)</translation>
    </message>
    <message>
        <source>精确</source>
        <translation>exact</translation>
    </message>
    <message>
        <source>纤维</source>
        <translation>fiber</translation>
    </message>
    <message>
        <source>屈服</source>
        <translation>yield</translation>
    </message>
    <message>
        <source>极限</source>
        <translation>end</translation>
    </message>
    <message>
        <source>截面承受不了 N = %1 kN</source>
        <translation>The section cannot carry N = %1 kN</translation>
    </message>
    <message>
        <source>设计值 (fc, fy)</source>
        <translation>design (fc, fy)</translation>
    </message>
    <message>
        <source>标准值 (fck, fyk)</source>
        <translation>charact. (fck, fyk)</translation>
    </message>
    <message>
        <source>纤维 M0 (kN·m)</source>
        <translation>fiber M0 (kN·m)</translation>
    </message>
    <message>
        <source>纤维误差 (%)</source>
        <translation>fiber error (%)</translation>
    </message>
    <message>
        <source>绕 x 轴</source>
        <translation>about x</translation>
    </message>
    <message>
        <source>绕 y 轴</source>
        <translation>about y</translation>
    </message>
    <message>
        <source>导出图片…</source>
        <translation>Picture…</translation>
    </message>
    <message>
        <source>将曲线保存为 PNG 图片</source>
        <translation>Save the charts as a PNG picture</translation>
    </message>
    <message>
        <source>导出 PDF…</source>
        <translation>PDF…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>钢筋</source>
        <translation>Steel</translation>
    </message>
    <message>
        <source>强度</source>
        <translation>Strengths</translation>
    </message>
    <message>
        <source>轴压比</source>
        <translation>Axial ratio</translation>
    </message>
    <message>
        <source>未选择截面</source>
        <translation>No section selected</translation>
    </message>
    <message>
        <source>在表格中选择一个截面</source>
        <translation>Select a section in the table</translation>
    </message>
    <message>
        <source>本截面无法计算承载力：%1</source>
        <translation>No capacity for this section: %1</translation>
    </message>
    <message>
        <source>截面承载力</source>
        <translation>Section capacity</translation>
    </message>
    <message>
        <source>截面承载力 — %1</source>
        <translation>Section capacity — %1</translation>
    </message>
    <message>
        <source>绕 x 轴请增大 FY</source>
        <translation>raise FY for bending about x</translation>
    </message>
    <message>
        <source>绕 y 轴请增大 FX</source>
        <translation>raise FX for bending about y</translation>
    </message>
    <message>
        <source>纤维误差超过 %1 %：%2。</source>
        <translation>Fiber error above %1 %: %2.</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>导出承载力图片</source>
        <translation>Export capacity picture</translation>
    </message>
    <message>
        <source>导出承载力 PDF</source>
        <translation>Export capacity PDF</translation>
    </message>
    <message>
        <source>弯矩–曲率（设计本构），绕 x 轴，N = %1 kN</source>
        <translation>Design-law M–φ about x, N = %1 kN</translation>
    </message>
    <message>
        <source>弯矩–曲率（设计本构），绕 y 轴，N = %1 kN</source>
        <translation>Design-law M–φ about y, N = %1 kN</translation>
    </message>
    <message>
        <source>Mx–My 曲线，N = %1 kN</source>
        <translation>Mx–My at N = %1 kN</translation>
    </message>
    <message>
        <source>弯矩–曲率曲线和双向弯曲的轴压比 N / (fc·B·H)，fc 取设计值</source>
        <translation>Axial ratio N / (fc·B·H) of the moment–curvature curves and biaxial bending, fc the design strength</translation>
    </message>
    <message>
        <source>双向</source>
        <translation>Biaxial</translation>
    </message>
    <message>
        <source>N = %1 kN：精确 |M| = %2 至 %3 kN·m</source>
        <translation>N = %1 kN: exact |M| = %2 to %3 kN·m</translation>
    </message>
    <message>
        <source>双向弯曲请增大 FX 和 FY</source>
        <translation>raise FX and FY for biaxial bending</translation>
    </message>
    <message>
        <source>C%1：%2；%3：%4；ρ = %5 %</source>
        <translation>C%1: %2; %3: %4; ρ = %5 %</translation>
    </message>
    <message>
        <source>网格 FX × FY = %1：钢筋已占满 60 根纤维，没有混凝土单元的余地</source>
        <translation>Grid FX × FY = %1: the bars take all 60 fibers, leaving no room for concrete cells</translation>
    </message>
    <message>
        <source>网格 FX × FY = %1，误差 %2 %；建议 %3 × %4，误差 %5 %（右键菜单“按建议网格另存表格…”）</source>
        <translation>Grid FX × FY = %1, error %2 %; suggested %3 × %4, error %5 % (context menu “Save the table with the suggested grids…”)</translation>
    </message>
    <message>
        <source>网格 FX × FY = %1，误差 %2 %：60 根纤维之内已是最佳</source>
        <translation>Grid FX × FY = %1, error %2 %: the best within 60 fibers</translation>
    </message>
    <message>
        <source>网格的误差取绕 x 轴、绕 y 轴和双向弯曲纤维误差中的最大者</source>
        <translation>A grid’s error is the largest of its fiber errors about x, about y and in biaxial bending</translation>
    </message>
    <message>
        <source>ρ = %1 % 超出 %2 %–5 %。</source>
        <translation>ρ = %1 % is outside %2 %–5 %.</translation>
    </message>
    <message>
        <source>网格 FX × FY = %1，误差 %2 %；建议 %3 × %4，误差 %5 %（截面承受不了该轴力：只计绕 x、y 轴的误差）</source>
        <translation>Grid FX × FY = %1, error %2 %; suggested %3 × %4, error %5 % (errors about x and y only: the section cannot carry N)</translation>
    </message>
    <message>
        <source>网格 FX × FY = %1，误差 %2 %：60 根纤维之内已是最佳（截面承受不了该轴力：只计绕 x、y 轴的误差）</source>
        <translation>Grid FX × FY = %1, error %2 %: the best within 60 fibers (errors about x and y only: the section cannot carry N)</translation>
    </message>
    <message>
        <source>截面承受不了该轴力，没有双向弯曲误差：网格的误差取绕 x 轴和绕 y 轴纤维误差中的较大者</source>
        <translation>The section cannot carry the axial load, so there is no biaxial error: a grid’s error is the larger of its fiber errors about x and about y</translation>
    </message>
    <message>
        <source>截面承载力按 GB 50010 第 6.2.1 条的设计本构计算，未计稳定系数 0.9φ、附加偏心距、二阶效应和 γRE；N0 按毛截面 B × H 计</source>
        <translation>Section resistances by the design laws (GB 50010 §6.2.1): no 0.9φ, additional eccentricity, second-order effects or γRE; N0 of the gross B × H</translation>
    </message>
    <message>
        <source>上一个截面</source>
        <translation>Previous section</translation>
    </message>
    <message>
        <source>上一个截面 (PgUp)</source>
        <translation>Previous section (PgUp)</translation>
    </message>
    <message>
        <source>下一个截面</source>
        <translation>Next section</translation>
    </message>
    <message>
        <source>下一个截面 (PgDn)</source>
        <translation>Next section (PgDn)</translation>
    </message>
    <message>
        <source>弯矩–曲率（分析本构），绕 x 轴，N = %1 kN</source>
        <translation>Analysis M–φ about x, N = %1 kN</translation>
    </message>
    <message>
        <source>弯矩–曲率（分析本构），绕 y 轴，N = %1 kN</source>
        <translation>Analysis M–φ about y, N = %1 kN</translation>
    </message>
    <message>
        <source>约束</source>
        <translation>confined</translation>
    </message>
    <message>
        <source>双线性</source>
        <translation>bilinear</translation>
    </message>
    <message>
        <source>箍筋</source>
        <translation>Hoops</translation>
    </message>
    <message>
        <source>箍筋的钢筋牌号：只影响有箍筋截面的约束核心</source>
        <translation>The stirrups&apos; grade: it changes only the confined core of the sections with stirrups</translation>
    </message>
    <message>
        <source>承载力</source>
        <translation>Capacity</translation>
    </message>
    <message>
        <source>分析 M–φ，绕 x 轴</source>
        <translation>Analysis M–φ, x</translation>
    </message>
    <message>
        <source>分析 M–φ，绕 y 轴</source>
        <translation>Analysis M–φ, y</translation>
    </message>
    <message>
        <source>终止于</source>
        <translation>Ends by</translation>
    </message>
    <message>
        <source>混凝土</source>
        <translation>concrete</translation>
    </message>
    <message>
        <source>下降</source>
        <translation>drop</translation>
    </message>
    <message>
        <source>轴力</source>
        <translation>axial</translation>
    </message>
    <message>
        <source>该模型承受不了 N = %1 kN</source>
        <translation>The model cannot carry N = %1 kN</translation>
    </message>
    <message>
        <source>无屈服数值：仅轴力 N 已使边缘超过 εc,r，或曲线在初始屈服前终止</source>
        <translation>No yield figures: N alone takes the edge past εc,r, or the curve ends before the first yield</translation>
    </message>
    <message>
        <source>无屈服数值：仅轴力 N 已使钢筋超过 fy,r/Es，或曲线在初始屈服前终止</source>
        <translation>No yield figures: N alone takes the bars past fy,r/Es, or the curve ends before the first yield</translation>
    </message>
    <message>
        <source>钢筋</source>
        <comment>what ended the curve</comment>
        <translation>bar</translation>
    </message>
    <message>
        <source>将本截面的承载力页和分析弯矩–曲率页保存为 PDF</source>
        <translation>Save the section&apos;s capacity page and analysis moment–curvature page as a PDF</translation>
    </message>
</context>
<context>
    <name>brenmoor::TForm1</name>
    <message>
        <source>开发者</source>
        <translation>Developer</translation>
    </message>
    <message>
        <source>导出截面报告 (PDF)…</source>
        <translation>Export section report (PDF)…</translation>
    </message>
    <message>
        <source>打印截面报告…</source>
        <translation>Print section report…</translation>
    </message>
    <message>
        <source>保存图片…</source>
        <translation>Save picture…</translation>
    </message>
    <message>
        <source>关于 Brenmoor…</source>
        <translation>About Brenmoor…</translation>
    </message>
    <message numerus="yes">
        <source>已生成 %n 个截面 → %1</source>
        <translation>
            <numerusform>Generated %n section → %1</numerusform>
            <numerusform>Generated %n sections → %1</numerusform>
        </translation>
    </message>
    <message>
        <source>导出截面报告 (PDF)</source>
        <translation>Export section report (PDF)</translation>
    </message>
    <message>
        <source>保存图片</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>截面承载力…</source>
        <translation>Section capacity…</translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1（还有 %n 条警告）</source>
        <translation>
            <numerusform>%1 (and %n more warning)</numerusform>
            <numerusform>%1 (and %n more warnings)</numerusform>
        </translation>
    </message>
    <message>
        <source>导出承载力报告 (PDF)…</source>
        <translation>Export capacity report (PDF)…</translation>
    </message>
    <message>
        <source>按建议网格另存表格…</source>
        <translation>Save the table with the suggested grids…</translation>
    </message>
    <message>
        <source>为每个截面找出 60 根纤维之内误差最小的网格，另存表格并导入</source>
        <translation>Find each section’s grid with the smallest error within 60 fibers, save the table with them and import it</translation>
    </message>
    <message numerus="yes">
        <source>已按建议网格改了 %n 个截面 → %1</source>
        <translation>
            <numerusform>Suggested grid for %n section → %1</numerusform>
            <numerusform>Suggested grids for %n sections → %1</numerusform>
        </translation>
    </message>
    <message>
        <source>导出承载力报告 (PDF)</source>
        <translation>Export capacity report (PDF)</translation>
    </message>
    <message>
        <source>按建议网格另存表格</source>
        <translation>Save the table with the suggested grids</translation>
    </message>
    <message>
        <source>未导入 %1；之前导入的 %2 保持不变。</source>
        <translation>%1 was not imported; %2, imported before, is kept.</translation>
    </message>
    <message>
        <source>未导入 %1。</source>
        <translation>%1 was not imported.</translation>
    </message>
    <message>
        <source>导入数据表格…</source>
        <translation>Import section table…</translation>
    </message>
    <message>
        <source>生成到当前文件夹</source>
        <translation>Generate into the working folder</translation>
    </message>
    <message>
        <source>生成到…</source>
        <translation>Generate to…</translation>
    </message>
    <message>
        <source>选择写入 %1 的文件夹</source>
        <translation>Choose the folder to write %1 into</translation>
    </message>
    <message>
        <source>用户指南</source>
        <translation>User&apos;s guide</translation>
    </message>
    <message>
        <source>已写入 %1</source>
        <translation>Wrote %1</translation>
    </message>
    <message>
        <source>单击打开所在文件夹</source>
        <translation>Click to open its folder</translation>
    </message>
    <message>
        <source>更多功能：在表格或截面图上单击右键；F1 打开用户指南</source>
        <translation>More commands: right-click the grid or the drawing; F1 opens the user&apos;s guide</translation>
    </message>
    <message>
        <source>找不到用户指南 %1，已查找：%2</source>
        <translation>The user&apos;s guide %1 was not found; looked in: %2</translation>
    </message>
    <message>
        <source>Brenmoor 用户指南</source>
        <translation>Brenmoor user&apos;s guide</translation>
    </message>
</context>
</TS>
