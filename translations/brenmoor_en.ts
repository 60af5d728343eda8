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
        <translation>Brenmoor is released under the MIT licence: free to use, copy, change and share. The licence's full text is in the details.</translation>
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
(5) cc is from the bar's centroid to the face, not the cover
(6) Input is a CSV table (see sample.csv)
(7) Name the bar material STEEL; it is recognised</translation>
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
</context>
</TS>
