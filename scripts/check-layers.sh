#!/usr/bin/env bash
# Checks the layer rule over the project's own includes: each folder of src/ may include only
# its own layer and the layers to its left,
#   models <- platform <- crashreporting <- services <- views <- app
# and the core layers (models to services) use no widgets. Prints each offending line.
set -euo pipefail
cd "$(dirname "$0")/../src"
layers=(models platform crashreporting services views app)
status=0
for i in "${!layers[@]}"; do
    layer="${layers[$i]}"
    forbidden=("${layers[@]:$((i + 1))}")
    [ ${#forbidden[@]} -eq 0 ] && continue
    pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($(IFS='|'; echo "${forbidden[*]}"))/"
    if hits=$(grep -rnE "$pattern" "$layer" --include='*.h' --include='*.cpp'); then
        echo "Layer rule: $layer must not include ${forbidden[*]}:"
        echo "$hits"
        status=1
    fi
done
core=(models platform crashreporting services)
widgets='^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q(tWidgets|Widget|Application|MainWindow|Dialog|Label|PushButton|Layout|[HV]BoxLayout|Menu|Action|SystemTrayIcon|MessageBox|FileDialog|LineEdit|AbstractButton)>'
if hits=$(grep -rnE "$widgets" "${core[@]}" --include='*.h' --include='*.cpp'); then
    echo "Layer rule: the core layers (${core[*]}) must not use widgets:"
    echo "$hits"
    status=1
fi
if [ $status -eq 0 ]; then
    echo "Layer rule holds: ${layers[*]}"
fi
exit $status
