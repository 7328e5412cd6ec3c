// Records of the host's model store, one per model table, with their
// sub-records. Constructors give every member 0, 0.0, false, "" or an
// empty list; a copied record owns copies of its lists.
#pragma once

#include <string>

#include "host/HostApi.h"
#include "host/KeyLists.h"

namespace building_modelDB {

struct HOST_API S_ProjectInfo_D {
    S_ProjectInfo_D();
    std::string Project;
    std::string Revision;
    std::string Code;
    std::string User;
    std::string Mail;
    std::string Address;
    std::string Phone;
    std::string Fax;
    std::string Client;
    std::string Title;
    std::string Comment;
    int StructType;
    double Height;
    double HeightGrade;
};

struct HOST_API S_UnitFlag_D {
    S_UnitFlag_D();
    int Length;
    int Force;
};

struct HOST_API S_SectStiffness {
    S_SectStiffness();
    int Area;
    int Asy;
    int Asz;
    int Rxx;
    int Ryy;
    int Rzz;
    int Cyp;
    int Cym;
    int Czp;
    int Czm;
    int Qyb;
    int Qzb;
    int WArea;
    int dx1;
    int dy1;
    int dx2;
    int dy2;
    int dx3;
    int dy3;
    int dx4;
    int dy4;
    int dScaleFactor[6];
};

struct HOST_API S_SectDesign {
    S_SectDesign();
    int YBar;
    int ZBar;
    int Syy;
    int Szz;
    int Zyy;
    int Zzz;
    int Roy;
    int Roz;
    int Cwp;
    int TanA;
    int Rop;
    int XO;
    int RO;
    int Beta;
};

struct HOST_API S_SectShape {
    S_SectShape();
    S_SectShape(const S_SectShape& other);
    S_SectShape& operator=(const S_SectShape& other);
    ~S_SectShape();
    std::string Shape;
    std::string DBName;
    std::string SName;
    std::string SName2;
    double PeriIn;
    double PeriOut;
    double BuiltUpFlag;
    TableInterface<int, double>* Size;
    S_SectStiffness Stiffness;
    S_SectDesign Design;
};

struct HOST_API S_Section_D {
    S_Section_D();
    int Num;
    int SType;
    std::string SName;
    std::string Shape;
    int OffsetPoint;
    int Lytype;
    int Lztype;
    int SRCtype;
    double Matl_Elast;
    double Matl_Density;
    double Matl_Poisson_S;
    double Matl_Poisson_C;
    double Matl_StiffFactor;
    double PeriIn;
    double PeriOut;
    int BuiltUpFlag;
    bool Symmetric;
    int OffsetCenter;
    int HorzOffsetOpt;
    int VertOffsetOpt;
    bool ConsiderShearDeform;
    int UserDefOffsetY[2];
    int UserDefOffsetZ[2];
    S_SectShape SectI;
    S_SectShape SectJ;
    S_SectStiffness Stiffness;
    S_SectDesign Design;
};

struct HOST_API S_ThickValue {
    S_ThickValue();
    std::string ThickType;
    double ThickIn;
    double ThickOut;
};

struct HOST_API S_Thickness_D {
    S_Thickness_D();
    int Num;
    int nType;
    S_ThickValue Value;
};

struct HOST_API S_Opening_D {
    S_Opening_D();
    int Num;
    int OpeningType;
    double Width;
    double Height;
    std::string Pline;
};

struct HOST_API S_MatlAnalysis {
    S_MatlAnalysis();
    double Elast;
    double Poisson;
    double Thermal;
    double Density;
    double Fck;
    double Ftk;
    double Fc;
    double Ft;
    double Fak;
    double Fa;
};

struct HOST_API S_MatlData {
    S_MatlData();
    std::string CodeName;
    std::string CodeMatlName;
    S_MatlAnalysis Analysis;
};

struct HOST_API S_DesignMaterial_D {
    S_DesignMaterial_D();
    std::string Type;
    std::string Name;
    std::string bChangeSteel;
    std::string MainRebarMatlName;
    std::string SubRebarMatlName;
    S_MatlData Data1;
    S_MatlData Data2;
};

struct HOST_API S_DesignCode_D {
    S_DesignCode_D();
    std::string DesignCode;
    std::string DesignSteelCode;
    std::string DesignSRCCode;
    std::string RebarMaterialCode;
    std::string SeismicGrade;
    std::string SeismicIntensity;
};

struct HOST_API S_Floor_D {
    S_Floor_D();
    int Num;
    std::string StoryName;
    double Heigh;
    double Elevation;
    int MdulK;
    int PlanK;
};

struct HOST_API S_Node_D {
    S_Node_D();
    double x;
    double y;
};

struct HOST_API S_Axis_D {
    S_Axis_D();
    std::string Name;
    int GroupKey;
    int StartNodeKey;
    int EndNodeKey;
    int CenterNodeKey;
};

struct HOST_API S_AxisGroup_D {
    S_AxisGroup_D();
    std::string Name;
};

struct HOST_API S_Element_D {
    S_Element_D();
    S_Element_D(const S_Element_D& other);
    S_Element_D& operator=(const S_Element_D& other);
    ~S_Element_D();
    int Elpro;
    double Angle;
    int MembType;
    int Ecx1;
    int Ecy1;
    int Ecz1;
    int Ecx2;
    int Ecy2;
    int Ecz2;
    int ElMatl;
    int PStorK;
    SPNodeKeyList* PNodeKeyList;
};

struct HOST_API S_Beam_D {
    S_Beam_D();
    S_Beam_D(const S_Beam_D& other);
    S_Beam_D& operator=(const S_Beam_D& other);
    ~S_Beam_D();
    int MembType;
    int PStorK;
    TableInterface<int, int>* PElemK;
};

struct HOST_API S_BeamGroup_D {
    S_BeamGroup_D();
    S_BeamGroup_D(const S_BeamGroup_D& other);
    S_BeamGroup_D& operator=(const S_BeamGroup_D& other);
    ~S_BeamGroup_D();
    SBeamList* BeamList;
};

struct HOST_API S_Column_D {
    S_Column_D();
    S_Column_D(const S_Column_D& other);
    S_Column_D& operator=(const S_Column_D& other);
    ~S_Column_D();
    int MembType;
    int MembKind;
    int PStorK;
    TableInterface<int, int>* PElemK;
};

struct HOST_API S_Brace_D {
    S_Brace_D();
    S_Brace_D(const S_Brace_D& other);
    S_Brace_D& operator=(const S_Brace_D& other);
    ~S_Brace_D();
    int MembType;
    int PStorK;
    TableInterface<int, int>* PElemK;
};

struct HOST_API S_Wall_D {
    S_Wall_D();
    S_Wall_D(const S_Wall_D& other);
    S_Wall_D& operator=(const S_Wall_D& other);
    ~S_Wall_D();
    int MembType;
    int PStorK;
    TableInterface<int, int>* PElemK;
    std::string Openings;
};

struct HOST_API S_WallLL_D {
    S_WallLL_D();
    int BetaAngle;
    int Ecx1;
    int Ecy1;
    int Ecz1;
    int Ecx2;
    int Ecy2;
    int Ecz2;
    int Width;
    int Height;
    int ElevDiff;
    int MaterialKey;
    int SectionKey;
    int PStorK;
    int NodeKey1;
    int NodeKey2;
};

struct HOST_API S_WallColumn_D {
    S_WallColumn_D();
    S_WallColumn_D(const S_WallColumn_D& other);
    S_WallColumn_D& operator=(const S_WallColumn_D& other);
    ~S_WallColumn_D();
    int WallColumnType;
    int NodeKey;
    int PStorK;
    SWallEleKeys* WallEleKeys;
    SLcs* Lcs;
    SLss* Lss;
};

struct HOST_API SS_Support {
    SS_Support();
    SS_Support(const SS_Support& other);
    SS_Support& operator=(const SS_Support& other);
    ~SS_Support();
    int BoudaryCondition;
    TableInterface<int, int>* NodeList;
};

struct HOST_API S_Slab_D {
    S_Slab_D();
    S_Slab_D(const S_Slab_D& other);
    S_Slab_D& operator=(const S_Slab_D& other);
    ~S_Slab_D();
    int SlabType;
    double ElevationDiff;
    double CantiLength;
    double XAngle;
    int SlabStyle;
    int PStorK;
    int ThicknessKey;
    int MaterialKey;
    std::string Openings;
    TableInterface<int, SS_Support>* Supports;
};

struct HOST_API S_MemberEndRls_D {
    S_MemberEndRls_D();
    int nType;
    std::string flagI;
    int fxI;
    int fyI;
    int fzI;
    int mxI;
    int myI;
    int mzI;
    std::string flagJ;
    int fxJ;
    int fyJ;
    int fzJ;
    int mxJ;
    int myJ;
    int mzJ;
};

struct HOST_API S_Mdul_D {
    S_Mdul_D();
    std::string ModulName;
};

struct HOST_API S_Plan_D {
    S_Plan_D();
    std::string PlanName;
    std::string WallType;
    std::string SlabType;
    std::string LoadType;
    std::string MatlKColumn;
    std::string MatlKBeam;
    std::string MatlKSlab;
    std::string MatlKWall;
    std::string MatlKBrace;
    std::string ThikKSlab;
};

} // namespace building_modelDB
