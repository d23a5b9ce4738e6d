package rules;

import static com.ulno.gc.Builtins.*;

import com.ulno.gc.*;

/** A lot with a simple extruded building: a start rule, three attributes and a few rules. */
@SGLAnnotations({
    @SGLAnnotation(name = "@_VERSION", types = {'s', 's'}, names = {"sglc", "sgl"},
                   bvals = {false, false}, dvals = {0.0, 0.0}, svals = {"1.10", "1.4"}),
    @SGLAnnotation(name = "@Description", types = {'s'}, names = {""}, bvals = {false},
                   dvals = {0.0}, svals = {"Extruded lots with a flat roof"})
})
public class Lot {
    public static double height;
    public static String wallColor;
    public static boolean withRoof;

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "@Range", types = {'f', 'f'}, names = {"min", "max"},
                       bvals = {false, false}, dvals = {3.0, 60.0}, svals = {"", ""}),
        @SGLAnnotation(name = "$Order", types = {'f'}, names = {""}, bvals = {false},
                       dvals = {1.0}, svals = {""})
    })
    public static double height() {
        height = rand(8, 24);
        return height;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "@Color", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$Order", types = {'f'}, names = {""}, bvals = {false},
                       dvals = {2.0}, svals = {""})
    })
    public static String wallColor() {
        wallColor = "#d8cfc0";
        return wallColor;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {})
    })
    public static boolean withRoof() {
        withRoof = height > 6;
        return withRoof;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$StartRule", types = {}, names = {}, bvals = {}, dvals = {},
                       svals = {})
    })
    public static void Lot() {
        double setbackDepth = rand(1, 3);
        SplitNode root = _$createSplitRoot(2);
        _$addSplitNode(root, _$createSplitNode(Setback.front, 1, false, 1));
        _$addSplitNode(root, _$createSplitNode(Setback.remainder, 2, false, 1));
        setback(setbackDepth, root);
        _$push();
        Building(height);
        _$pop();
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {})
    })
    public static void Building(double h) {
        extrude(h);
        color(wallColor);
        SplitNode root = _$createSplitRoot(2);
        _$addSplitNode(root, _$createSplitNode(Comp.side, 1, false, 1));
        _$addSplitNode(root, _$createSplitNode(Comp.top, 2, false, 1));
        comp(CompSelector.f, root);
        if (withRoof) {
            Roof(30, h / 10);
        }
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {})
    })
    public static void Roof(double angle, double overhang) {
        roofHip(angle, overhang);
        color("#8a4b32");
        report("roof area", geometry$area());
    }
}
