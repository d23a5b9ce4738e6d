package rules;

import static com.ulno.gc.Builtins.*;

import com.ulno.gc.*;

/** A tower of stacked, tapering segments; its crown is picked by an enum keyword given as text. */
@SGLAnnotations({
    @SGLAnnotation(name = "@_VERSION", types = {'s', 's'}, names = {"sglc", "sgl"},
                   bvals = {false, false}, dvals = {0.0, 0.0}, svals = {"1.10", "1.4"}),
    @SGLAnnotation(name = "@Author", types = {'s', 'f'}, names = {"name", "revision"},
                   bvals = {false, false}, dvals = {0.0, 7.0}, svals = {"Urban Lab", ""})
})
public class Tower {
    public static double segments;
    public static String crownSide;
    public static boolean lit;

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "@Range", types = {'f', 'f', 'b'},
                       names = {"min", "max", "restricted"}, bvals = {false, false, true},
                       dvals = {1.0, 40.0, 0.0}, svals = {"", "", ""})
    })
    public static double segments() {
        segments = floor(rand(4, 12));
        return segments;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "@Enum", types = {'s', 's', 's'}, names = {"", "", ""},
                       bvals = {false, false, false}, dvals = {0.0, 0.0, 0.0},
                       svals = {"front", "back", "side"})
    })
    public static String crownSide() {
        crownSide = "front";
        return crownSide;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "@Hidden", types = {}, names = {}, bvals = {}, dvals = {}, svals = {})
    })
    public static boolean lit() {
        lit = bool(print(_$float(crownSide)));
        return lit;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$StartRule", types = {}, names = {}, bvals = {}, dvals = {},
                       svals = {})
    })
    public static void Tower(double baseHeight) {
        double h = baseHeight;
        for (int k = 0; k < segments; k++) {
            _$push();
            t(Scale.REL, 0, Scale.ABS, h * k, Scale.REL, 0);
            Segment(h, k);
            _$pop();
            h = h * 0.85;
        }
        Crown(crownSide, _$getHandle(h, 2));
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$Group", types = {'s', 's', 'f'}, names = {"", "", ""},
                       bvals = {false, false, false}, dvals = {0.0, 0.0, 2.0},
                       svals = {"Tower", "Body", ""})
    })
    public static void Segment(double h, double level) {
        extrude(AxisWorld.world$up, h);
        taper(0.1);
        if (lit && level > 2) {
            color(1, 0.9, 0.6);
        } else {
            color(0.4, 0.4, 0.45, 1);
        }
        rotate(Mode.rel, CoordSystem.scope, 0, level * 3, 0);
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$Group", types = {'s', 's', 'f'}, names = {"", "", ""},
                       bvals = {false, false, false}, dvals = {0.0, 0.0, 2.0},
                       svals = {"Tower", "Top", ""})
    })
    public static void Crown(String side, double handle) {
        Comp chosen = Comp.valueOf(side);
        SplitNode root = _$createSplitRoot(1);
        _$addSplitNode(root, _$createSplitNode(chosen, 1, false, 1));
        comp(CompSelector.f, root);
        if (_$eq(side, "front")) {
            i("assets/crowns/spire.obj", UpAxisSelector.yUp);
        } else {
            primitiveCube(1, handle, 1);
        }
        print(str(handle));
    }
}
