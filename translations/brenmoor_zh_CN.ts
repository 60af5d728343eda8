<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CapacityReport</name>
    <message>
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>截面名称</translation>
    </message>
    <message>
        <source>Concrete</source>
        <translation>混凝土</translation>
    </message>
    <message>
        <source>Error x</source>
        <translation>误差 x</translation>
    </message>
    <message>
        <source>Error y</source>
        <translation>误差 y</translation>
    </message>
    <message>
        <source>Advice</source>
        <translation>建议</translation>
    </message>
    <message>
        <source>Bending</source>
        <translation>弯曲</translation>
    </message>
    <message>
        <source>Fiber M0</source>
        <translation>纤维 M0</translation>
    </message>
    <message>
        <source>Fiber error</source>
        <translation>纤维误差</translation>
    </message>
    <message>
        <source>raise FX and FY</source>
        <translation>增大 FX 和 FY</translation>
    </message>
    <message>
        <source>raise FY</source>
        <translation>增大 FY</translation>
    </message>
    <message>
        <source>raise FX</source>
        <translation>增大 FX</translation>
    </message>
    <message>
        <source>Section capacity report</source>
        <translation>截面承载力报告</translation>
    </message>
    <message>
        <source>design strengths</source>
        <translation>设计强度</translation>
    </message>
    <message>
        <source>characteristic strengths</source>
        <translation>标准强度</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>数据表</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>截面数</translation>
    </message>
    <message>
        <source>Steel</source>
        <translation>钢筋</translation>
    </message>
    <message>
        <source>%1, %2: fy = %3, fy′ = %4 N/mm²</source>
        <translation>%1，%2：fy = %3，fy′ = %4 N/mm²</translation>
    </message>
    <message>
        <source>Axial load</source>
        <translation>轴力</translation>
    </message>
    <message>
        <source>r = N / (fc·B·H) = %1 for the moment–curvature curves</source>
        <translation>弯矩–曲率曲线的轴压比 r = N / (fc·B·H) = %1</translation>
    </message>
    <message>
        <source>Concrete and bars by GB 50010-2010, compression positive. Exact: the gross rectangle B × H integrated in closed form,</source>
        <translation>混凝土与钢筋按 GB 50010-2010，受压为正。精确模型：毛截面 B × H 按解析式积分，</translation>
    </message>
    <message>
        <source>with the bars; fiber: the cells and bars of the component file, each at the strain of its centroid.</source>
        <translation>另加钢筋；纤维模型：组件文件中的混凝土单元与钢筋，各取其形心处的应变。</translation>
    </message>
    <message>
        <source>N0: uniform ε0; Nt: uniform −0.01; Nb, Mb: top at εcu, tension-most bar yielding; M0: N = 0. x is the section&apos;s axis 3, y its axis 2.</source>
        <translation>N0：全截面 ε0；Nt：全截面 −0.01；Nb、Mb：受压边缘 εcu，最外受拉钢筋屈服；M0：N = 0。x 为截面轴 3，y 为轴 2。</translation>
    </message>
    <message>
        <source>Fiber error: the largest difference of the fiber model&apos;s M from the exact one at 19 loads between Nt and N0,</source>
        <translation>纤维误差：在 Nt 与 N0 之间 19 个轴力下，纤维模型与精确模型弯矩之差的最大值，</translation>
    </message>
    <message>
        <source>over the largest exact M. Above %1 % (in red) the fibers stand poorly for the section: raise FY for bending about x,</source>
        <translation>除以精确模型的最大弯矩。超过 %1 %（红色）时纤维不能很好地代表截面：绕 x 轴弯曲请增大 FY，</translation>
    </message>
    <message>
        <source>FX for bending about y.</source>
        <translation>绕 y 轴弯曲请增大 FX。</translation>
    </message>
    <message>
        <source>B × H = %1 × %2 mm, CC = %3 mm, C%4, As = %5 mm² in %6 bars, %7 concrete cells; %8 %9</source>
        <translation>B × H = %1 × %2 mm，CC = %3 mm，C%4，As = %5 mm²（钢筋 %6 根），混凝土单元 %7 个；%8 %9</translation>
    </message>
    <message>
        <source>about x</source>
        <translation>绕 x 轴</translation>
    </message>
    <message>
        <source>about y</source>
        <translation>绕 y 轴</translation>
    </message>
    <message>
        <source>Fiber error above %1 %: %2 of this section.</source>
        <translation>纤维误差超过 %1 %：本截面请%2。</translation>
    </message>
    <message>
        <source>Section capacity of %1</source>
        <translation>%1 的截面承载力</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>N–M, bending about x</source>
        <translation>N–M 曲线，绕 x 轴</translation>
    </message>
    <message>
        <source>N–M, bending about y</source>
        <translation>N–M 曲线，绕 y 轴</translation>
    </message>
    <message>
        <source>M–φ about x at N = %1 kN</source>
        <translation>弯矩–曲率，绕 x 轴，N = %1 kN</translation>
    </message>
    <message>
        <source>M–φ about y at N = %1 kN</source>
        <translation>弯矩–曲率，绕 y 轴，N = %1 kN</translation>
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
        <source>exact</source>
        <translation>精确</translation>
    </message>
    <message>
        <source>fiber</source>
        <translation>纤维</translation>
    </message>
    <message>
        <source>yield</source>
        <translation>屈服</translation>
    </message>
    <message>
        <source>end</source>
        <translation>极限</translation>
    </message>
    <message>
        <source>The section cannot carry N = %1 kN</source>
        <translation>截面承受不了 N = %1 kN</translation>
    </message>
</context>
<context>
    <name>SectionReport</name>
    <message>
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>截面名称</translation>
    </message>
    <message>
        <source>Concrete</source>
        <translation>混凝土</translation>
    </message>
    <message>
        <source>Fibers</source>
        <translation>纤维</translation>
    </message>
    <message>
        <source>bars / cells</source>
        <translation>钢筋 / 单元</translation>
    </message>
    <message>
        <source>Column sections of %1</source>
        <translation>%1 的柱截面</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>Column section report</source>
        <translation>柱截面报告</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>数据表</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>截面数</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>材料</translation>
    </message>
    <message>
        <source>name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>E (N/mm²)</source>
        <translation>E (N/mm²)</translation>
    </message>
    <message>
        <source>sections</source>
        <translation>截面数</translation>
    </message>
    <message>
        <source>Every figure is the value written to the component file (float32), rounded for reading. As: total bar area; ρ = As / (B·H);</source>
        <translation>每个数值都是写入构件文件的值（float32），为便于阅读而取整。As：钢筋总面积；ρ = As / (B·H)；</translation>
    </message>
    <message>
        <source>G: shear modulus; Av,1, Av,2: shear areas; J: torsion constant. x is the section&apos;s axis 3, y its axis 2.</source>
        <translation>G：剪切模量；Av,1、Av,2：抗剪面积；J：抗扭常数。x 为截面的 3 轴，y 为 2 轴。</translation>
    </message>
    <message>
        <source>fibers %1: %2 bars, %3 cells</source>
        <translation>纤维 %1: 钢筋 %2, 单元 %3</translation>
    </message>
    <message>
        <source>scale 1:%1</source>
        <translation>比例 1:%1</translation>
    </message>
    <message>
        <source>! check the CONC and STEEL columns</source>
        <translation>! 请检查 CONC 与 STEEL 列</translation>
    </message>
</context>
</TS>
